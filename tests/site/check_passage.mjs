// Usage: node check_passage.mjs URL SCREENSHOT.png [EXPECTED_FIRST_WORDS...]
// Loads one passage page URL in chromium (inside tools/serve-bible.sh run), prints the marked
// verses and their text, saves a screenshot, and exits 0 only when at least one verse is marked,
// the first is in view, and it holds the expected words (when given: a passage is a sentence,
// which may begin inside its first verse). Exits 1 when the check fails, 2 on wrong usage.
import { launchChromium, openPassage, passageState } from "./browser.mjs";

const [url, screenshot, ...words] = process.argv.slice(2);
if (!url || !screenshot) {
  console.error("usage: node check_passage.mjs URL SCREENSHOT.png [EXPECTED_FIRST_WORDS...]");
  process.exit(2);
}
setTimeout(() => { console.error("check_passage: timed out"); process.exit(3); }, 60000).unref();

const browser = await launchChromium();
try {
  const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  await openPassage(page, url);
  const state = await passageState(page);
  await page.screenshot({ path: screenshot });
  console.log(`heading: ${state.heading}`);
  console.log(`translation: ${state.translation}`);
  console.log(`marked verses: ${state.verses.join(" ") || "(none)"}`);
  console.log(`marked text: ${state.text}`);
  if (state.message) console.log(`message: ${state.message}`);
  const expected = words.join(" ").replace(/\s+/g, " ");
  const ok = state.verses.length > 0 && state.inView && state.firstVerse.includes(expected);
  const failed = `check_passage: FAILED (wanted "${expected}" in the first marked verse, in view)`;
  console.log(ok ? "check_passage: ok" : failed);
  process.exitCode = ok ? 0 : 1;
} finally {
  await browser.close();
}
