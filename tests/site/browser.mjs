// Debian's chromium under Playwright, trusting the local server's certificate by its public key,
// and what the passage page shows once it has settled.
import { chromium } from "playwright-core";

export const SITE = "https://scrollwick.org";

export async function launchChromium() {
  const spki = process.env.SCROLLWICK_SERVER_SPKI;
  if (!spki) throw new Error("SCROLLWICK_SERVER_SPKI is not set: run under tools/serve-bible.sh run");
  // Playwright gives the browser a fresh, empty --user-data-dir of its own.
  return chromium.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    timeout: 30000,
    args: [
      "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      `--ignore-certificate-errors-spki-list=${spki}`,
    ],
  });
}

// Loads a URL and waits for the passage page to finish (it marks <body data-state="ready">).
export async function openPassage(page, url) {
  const response = await page.goto(url, { waitUntil: "load" });
  await page.waitForSelector("body[data-state=ready]", { timeout: 10000 });
  return response;
}

// The page as a reader sees it: heading, translation name, message, and the marked verses as
// "chapter:verse", their text, the first one's text, and whether it is inside the viewport.
export function passageState(page) {
  return page.evaluate(() => {
    const shown = (id) => {
      const e = document.getElementById(id);
      return e && !e.hidden ? e.innerText.trim().replace(/\s+/g, " ") : "";
    };
    const marked = [...document.querySelectorAll("#text:not([hidden]) .passage")];
    const box = marked.length ? marked[0].getBoundingClientRect() : null;
    return {
      heading: shown("heading"),
      translation: shown("translation-name"),
      message: shown("message"),
      verses: marked.map((e) => `${e.dataset.chapter}:${e.dataset.verse}`),
      text: marked.map((e) => e.lastChild.textContent).join(" "),
      firstVerse: marked.length ? marked[0].lastChild.textContent : "",
      inView: box !== null && box.top >= 0 && box.bottom <= window.innerHeight,
    };
  });
}
