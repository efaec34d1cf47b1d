#!/bin/sh
# Stands in for the browser under Wine: records each URL the companion asks to open.
printf '%s\n' "$1" >> "${SCROLLWICK_URL_LOG:-/tmp/scrollwick-opened-urls.txt}"
