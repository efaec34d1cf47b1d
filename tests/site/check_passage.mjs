// Usage: node check_passage.mjs URL SCREENSHOT.png [EXPECTED_FIRST_WORDS...]
// Loads one passage page URL in chromium (inside tools/serve-bible.sh run), prints the marked
// verses and their text, saves a screenshot, and exits 0 only when at least one verse is marked,
// the first is in view, and the marked text starts with the expected words (when given).
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
  const expected = words.join(" ");
  const ok = state.verses.length > 0 && state.inView && state.text.startsWith(expected);
  console.log(ok ? "check_passage: ok" : `check_passage: FAILED (expected marked text to start with "${expected}")`);
  process.exitCode = ok ? 0 : 1;
} finally {
  await browser.close();
}
