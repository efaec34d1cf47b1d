// The web site in Debian's chromium against the real nginx (run inside tools/serve-bible.sh run):
// the passage page for every reference form in all five translations, the translation switch,
// the chapter links, bad input, the root page, and screenshots for review.
// Usage: node site_test.mjs SCREENSHOT_DIR
import { mkdirSync } from "node:fs";
import { launchChromium, openPassage, passageState, SITE } from "./browser.mjs";

const shots = process.argv[2] ?? "screenshots";
mkdirSync(shots, { recursive: true });
setTimeout(() => { console.error("site test: timed out"); process.exit(3); }, 240000).unref();

const TRANSLATIONS = {
  web: "World English Bible", kjv: "King James Version", asv: "American Standard Version",
  ylt: "Young's Literal Translation", darby: "Darby Translation",
};
const href = (ref, code) => `${SITE}/bible?ref=${encodeURIComponent(ref)}&translation=${code}`;

// Every form the companion writes (one verse, a range in a chapter), a range across chapters,
// book names with digits and spaces, first and last books, one-chapter books.
const REFERENCES = [
  ["John 3:16", ["3:16"]],
  ["1 Peter 5:6-7", ["5:6", "5:7"]],
  ["Song of Solomon 2:1-3", ["2:1", "2:2", "2:3"]],
  ["Genesis 1:31-2:2", ["1:31", "2:1", "2:2"]],
  ["Psalms 119:175-176", ["119:175", "119:176"]],
  ["3 John 1:2", ["1:2"]],
  ["Revelation 22:21", ["22:21"]],
];

// [ref, translation, expected words of the message]; every one must fail safely.
const INJECTED = "<img src=x onerror=\"window.injected=1\"><script>window.injected=1</script>";
const BAD = [
  ["Hezekiah 1:1", "web", "There is no book called \"Hezekiah\""],
  ["John 22:1", "kjv", "John has 21 chapters; there is no chapter 22."],
  ["Obadiah 2:1", "kjv", "Obadiah has one chapter; there is no chapter 2."],
  ["John 3:99", "asv", "John 3 has 36 verses; there is no verse 99."],
  ["John 3:18-16", "web", "ends before it begins"],
  ["%%garbage 1:2:3", "ylt", "is not a reference this page understands"],
  [null, "web", "The address names no passage."],
  ["John 3:16", "niv", "There is no translation \"niv\" here"],
  [`${INJECTED} 3:16`, "web", `There is no book called "<img src=x`],
  [INJECTED, "web", "is not a reference"],
  ["John 3:16", INJECTED, "There is no translation"],
  ["John 3:16\"><svg onload=alert(1)>", "darby", "is not a reference"],
];

let passed = 0;
const failures = [];
async function check(name, body) {
  try {
    await body();
    passed += 1;
  } catch (error) {
    failures.push(name);
    console.log(`FAIL ${name}: ${error.message}`);
  }
}
function expectEqual(actual, expected, what) {
  if (JSON.stringify(actual) !== JSON.stringify(expected)) {
    throw new Error(`${what}: got ${JSON.stringify(actual)}, expected ${JSON.stringify(expected)}`);
  }
}

const browser = await launchChromium();
const context = await browser.newContext({ viewport: { width: 1280, height: 800 } });
const page = await context.newPage();
page.setDefaultTimeout(10000);
const problems = [];
page.on("pageerror", (error) => problems.push(`script error: ${error.message}`));
page.on("console", (m) => { if (m.type() === "error") problems.push(`console: ${m.text()}`); });
page.on("dialog", (dialog) => { problems.push(`dialog: ${dialog.message()}`); dialog.dismiss(); });

// Loads a URL and returns what it shows; any script error, console error (a CSP refusal is one)
// or dialog fails the check.
async function show(url) {
  problems.length = 0;
  await openPassage(page, url);
  const state = await passageState(page);
  if (problems.length) throw new Error(problems.join("; "));
  return state;
}

// Clicks a link, waits for the page it must lead to, and returns what that page shows.
async function follow(selector, url) {
  await Promise.all([page.waitForURL(url), page.click(selector)]);
  await page.waitForSelector("body[data-state=ready]");
  return passageState(page);
}

for (const [code, name] of Object.entries(TRANSLATIONS)) {
  for (const [ref, verses] of REFERENCES) {
    await check(`${ref} (${code})`, async () => {
      const state = await show(href(ref, code));
      expectEqual([state.heading, state.translation, state.verses], [ref, name, verses], "shown");
      expectEqual([state.inView, state.text.length > 10], [true, true], "in view, with text");
    });
  }
}

await check("the translation switch keeps the reference", async () => {
  await show(href("1 Peter 5:6-7", "web"));
  const state = await follow("#translations a[title='Darby Translation']", href("1 Peter 5:6-7", "darby"));
  expectEqual([state.translation, state.verses], ["Darby Translation", ["5:6", "5:7"]], "shown");
});

// [reference, link, heading it leads to]; at a book's edge the links cross into the next book.
const CHAPTER_LINKS = [
  ["Genesis 1:31-2:2", "#next", "Genesis 3"],
  ["John 1:1", "#previous", "Luke 24"],
  ["Malachi 4:6", "#next", "Matthew 1"],
];
for (const [ref, link, heading] of CHAPTER_LINKS) {
  await check(`${link} from ${ref}`, async () => {
    await show(href(ref, "kjv"));
    const state = await follow(link, href(heading, "kjv"));
    expectEqual([state.heading, state.translation, state.verses], [heading, TRANSLATIONS.kjv, []], "shown");
  });
}
await check("no previous chapter before Genesis 1", async () => {
  await show(href("Genesis 1:1", "web"));
  expectEqual(await page.isHidden("#previous"), true, "previous link hidden");
});

for (const [ref, code, message] of BAD) {
  await check(`bad input ${JSON.stringify([ref, code])}`, async () => {
    const query = ref === null ? `translation=${encodeURIComponent(code)}` : href(ref, code).split("?")[1];
    const state = await show(`${SITE}/bible?${query}`);
    const planted = await page.evaluate(() => [
      window.injected, document.querySelectorAll("script, img, svg").length,
    ]);
    expectEqual([state.heading, state.message.includes(message)], ["Passage not found", true],
      `heading and message (shown: ${state.message})`);
    expectEqual(planted, [undefined, 1], "injected flag and elements (only the page's own script)");
  });
}

await check("a book file that fails to load", async () => {
  await page.route("**/bible/v1/**", (route) => route.abort());
  await openPassage(page, href("John 3:16", "web"));
  const state = await passageState(page);
  await page.unroute("**/bible/v1/**");
  expectEqual([state.heading, state.message.includes("could not be loaded")], ["Could not load the passage", true], "shown");
});

await check("root page, figure, downloads and the 404 page", async () => {
  problems.length = 0;
  await page.goto(`${SITE}/`);
  const figure = await page.$eval("img.figure", (img) => [img.complete, img.naturalWidth > 0]);
  const links = await page.$$eval(".downloads a", (as) => as.map((a) => new URL(a.href).pathname));
  expectEqual(figure, [true, true], "figure loaded");
  expectEqual(links, ["/downloads/ScrollwickCompanion-Setup.exe",
    "/downloads/ScrollwickCompanion-Portable.zip", "/downloads/SHA256SUMS.txt"], "download links");
  expectEqual(problems, [], "page problems");
  expectEqual((await page.goto(`${SITE}/no-such-page`)).status(), 404, "status of an unknown path");
});

// For review by eye: each page at desktop and phone size, light and dark.
const VIEWS = [["desktop", { width: 1280, height: 800 }], ["phone", { width: 390, height: 844 }]];
const PAGES = [["passage", href("Genesis 1:31-2:2", "web")], ["home", `${SITE}/`],
  ["not-found", href("John 3:99", "kjv")]];
await check("screenshots", async () => {
  for (const colorScheme of ["light", "dark"]) {
    for (const [view, viewport] of VIEWS) {
      const shooter = await browser.newPage({ viewport, colorScheme, deviceScaleFactor: view === "phone" ? 2 : 1 });
      for (const [name, url] of PAGES) {
        await shooter.goto(url);
        await shooter.waitForLoadState("networkidle");
        await shooter.screenshot({ path: `${shots}/${name}-${view}-${colorScheme}.png` });
      }
      await shooter.close();
    }
  }
});

await browser.close();
console.log(`site: ${passed} passed, ${failures.length} failed`);
process.exitCode = failures.length ? 1 : 0;
