// The passage page, /bible?ref=<reference>&translation=<code>: fetches the book from this site and
// shows the referenced chapter(s) with the passage marked. Text from the address and from the
// book file only ever reaches the page as text nodes, never as markup.
import { BOOKS, TRANSLATIONS } from "./catalogue.js";

const DEFAULT_TRANSLATION = "web";
// No-break spaces keep each example reference on one line.
const EXAMPLES =
  "A reference looks like John\u00A03:16, 1\u00A0Peter\u00A05:6-7 or Genesis\u00A01:31-2:3.";

// Book, chapter, then optionally ":verse" and a range end "-verse" or "-chapter:verse". The
// companion writes "John 3:16" and "1 Peter 5:6-7"; a bare "John 3" is a whole chapter.
const REFERENCE = /^(.+?) (\d{1,3})(?::(\d{1,3})(?: ?[-\u2013] ?(?:(\d{1,3}):)?(\d{1,3}))?)?$/;

// A reference the page could not show; its message is for the reader.
class NotFound extends Error {}

function clip(text) {
  return text.length > 60 ? `${text.slice(0, 57)}...` : text;
}

function findBook(name) {
  const wanted = name.toLowerCase();
  return BOOKS.findIndex(
    ([code, bookName]) => bookName.toLowerCase() === wanted || code.toLowerCase() === wanted,
  );
}

// Returns { book, first: { chapter, verse }, last: { chapter, verse } }; verse is null for a whole
// chapter. Verses are checked against the book once it is loaded.
function parseReference(text) {
  const m = REFERENCE.exec(text.trim().replace(/\s+/g, " "));
  if (!m) throw new NotFound(`"${clip(text)}" is not a reference this page understands.`);
  const book = findBook(m[1]);
  if (book < 0) throw new NotFound(`There is no book called "${clip(m[1])}".`);
  const [, name, chapters] = BOOKS[book];
  const first = { chapter: Number(m[2]), verse: m[3] === undefined ? null : Number(m[3]) };
  const last = { chapter: m[4] === undefined ? first.chapter : Number(m[4]), verse: first.verse };
  if (m[5] !== undefined) last.verse = Number(m[5]);
  for (const chapter of [first.chapter, last.chapter]) {
    if (chapter < 1 || chapter > chapters) {
      const has = chapters === 1 ? "has one chapter" : `has ${chapters} chapters`;
      throw new NotFound(`${name} ${has}; there is no chapter ${chapter}.`);
    }
  }
  const sameChapter = last.chapter === first.chapter;
  const backwards = sameChapter ? last.verse < first.verse : last.chapter < first.chapter;
  if (backwards) {
    throw new NotFound(`The passage "${clip(text)}" ends before it begins.`);
  }
  return { book, first, last };
}

function formatReference({ book, first, last }) {
  let text = `${BOOKS[book][1]} ${first.chapter}`;
  if (first.verse === null) return text;
  text += `:${first.verse}`;
  if (last.chapter !== first.chapter) return `${text}-${last.chapter}:${last.verse}`;
  return last.verse === first.verse ? text : `${text}-${last.verse}`;
}

// Spaces become %20 and ":" %3A, as in the links the companion opens.
function passageHref(reference, code) {
  return `/bible?ref=${encodeURIComponent(reference)}&translation=${encodeURIComponent(code)}`;
}

function element(tag, properties = {}, ...children) {
  const node = document.createElement(tag);
  Object.assign(node, properties);
  node.append(...children);
  return node;
}

// "WEB", "KJV", ... "Darby": a name too short to be a word is written in capitals.
function shortName(code) {
  return code.length > 3 ? code[0].toUpperCase() + code.slice(1) : code.toUpperCase();
}

function showTranslations(reference, selected) {
  const list = document.getElementById("translations");
  list.replaceChildren();
  for (const [code, name] of TRANSLATIONS) {
    const link = element("a", { href: passageHref(reference, code), title: name }, shortName(code));
    link.setAttribute("aria-label", `${shortName(code)}, ${name}`);
    if (code === selected) link.setAttribute("aria-current", "page");
    list.append(element("li", {}, link));
  }
  document.getElementById("translation-switch").hidden = false;
}

function showChapterLinks({ book, first, last }, code) {
  // At a book's first or last chapter the links lead into the book before or after it.
  let previous = null;
  if (first.chapter > 1) previous = [book, first.chapter - 1];
  else if (book > 0) previous = [book - 1, BOOKS[book - 1][2]];
  let next = null;
  if (last.chapter < BOOKS[book][2]) next = [book, last.chapter + 1];
  else if (book + 1 < BOOKS.length) next = [book + 1, 1];
  const links = [["previous", previous, "Previous chapter"], ["next", next, "Next chapter"]];
  for (const [id, target, label] of links) {
    const link = document.getElementById(id);
    if (!target) continue;
    const reference = `${BOOKS[target[0]][1]} ${target[1]}`;
    link.href = passageHref(reference, code);
    link.querySelector(".chapter-name").textContent = reference;
    link.setAttribute("aria-label", `${label}: ${reference}`);
    link.hidden = false;
  }
  document.getElementById("chapter-links").hidden = false;
}

// The chapter's [verse number, text] pairs, checked so a damaged file cannot break the page.
function chapterVerses(book, chapter) {
  const verses = book[String(chapter)];
  const ok = Array.isArray(verses) && verses.length > 0 &&
    verses.every((v) => Array.isArray(v) && Number.isInteger(v[0]) && typeof v[1] === "string");
  if (!ok) throw new Error(`chapter ${chapter} is missing from the book file`);
  return verses;
}

function checkVerse(name, chapter, verse, verses) {
  const count = verses[verses.length - 1][0];
  if (verse !== null && (verse < 1 || verse > count)) {
    throw new NotFound(`${name} ${chapter} has ${count} verses; there is no verse ${verse}.`);
  }
}

function inPassage({ first, last }, chapter, verse) {
  if (first.verse === null) return false;
  const afterStart = chapter > first.chapter || verse >= first.verse;
  const beforeEnd = chapter < last.chapter || verse <= last.verse;
  return afterStart && beforeEnd;
}

function showText(passage, bookData) {
  const name = BOOKS[passage.book][1];
  const chapters = [];
  for (let c = passage.first.chapter; c <= passage.last.chapter; ++c) {
    chapters.push([c, chapterVerses(bookData, c)]);
  }
  checkVerse(name, passage.first.chapter, passage.first.verse, chapters[0][1]);
  checkVerse(name, passage.last.chapter, passage.last.verse, chapters[chapters.length - 1][1]);

  const text = document.getElementById("text");
  text.replaceChildren();
  for (const [chapter, verses] of chapters) {
    const heading = element("h2", { id: `chapter-${chapter}` }, `${name} ${chapter}`);
    const paragraph = element("p", { className: "chapter-text" });
    let previousMarked = false;
    for (const [number, words] of verses) {
      const marked = inPassage(passage, chapter, number);
      const verse = element(
        marked ? "mark" : "span",
        { className: marked ? "verse passage" : "verse", id: `v${chapter}-${number}` },
        element("sup", { className: "verse-number" }, String(number)),
        words,
      );
      verse.dataset.chapter = chapter;
      verse.dataset.verse = number;
      // Inside a passage the space between verses is marked too, so the passage reads as one.
      if (previousMarked && marked) verse.prepend(" ");
      else if (paragraph.hasChildNodes()) paragraph.append(" ");
      paragraph.append(verse);
      previousMarked = marked;
    }
    text.append(element("section", {}, heading, paragraph));
    heading.parentElement.setAttribute("aria-labelledby", heading.id);
  }
  text.hidden = false;
  // A passage already on screen stays where it is, below its heading; otherwise it is centred.
  const start = text.querySelector(".passage");
  const box = start?.getBoundingClientRect();
  if (box && (box.top < 0 || box.bottom > window.innerHeight)) {
    start.scrollIntoView({ block: "center" });
  }
}

function showProblem(title, message, passage, code) {
  document.title = `${title} · Scrollwick`;
  document.getElementById("heading").textContent = title;
  document.getElementById("translation-name").hidden = true;
  document.getElementById("context").textContent = "";
  document.getElementById("text").hidden = true;
  const help = [element("p", {}, message), element("p", {}, EXAMPLES)];
  if (passage) {
    const chapter = `${BOOKS[passage.book][1]} ${passage.first.chapter}`;
    const link = element("a", { href: passageHref(chapter, code) }, `Read ${chapter}`);
    help.push(element("p", {}, link));
  }
  help.push(element("p", {}, element("a", { href: "/" }, "About the Scrollwick Companion")));
  const box = document.getElementById("message");
  box.replaceChildren(...help);
  box.hidden = false;
}

async function loadBook(code, bookCode) {
  const response = await fetch(`/bible/v1/${code}/${bookCode}.json`);
  if (!response.ok) throw new Error(`the server answered ${response.status}`);
  const data = await response.json();
  if (data === null || typeof data !== "object" || Array.isArray(data)) {
    throw new Error("the book file is damaged");
  }
  return data;
}

async function main() {
  const params = new URLSearchParams(window.location.search);
  const requested = params.get("ref") ?? "";
  const code = (params.get("translation") ?? DEFAULT_TRANSLATION).trim().toLowerCase();
  const translation = TRANSLATIONS.find(([c]) => c === code);
  const status = document.getElementById("status");
  let passage = null;
  try {
    if (!requested.trim()) throw new NotFound("The address names no passage.");
    passage = parseReference(requested);
    const reference = formatReference(passage);
    showTranslations(reference, code);
    if (!translation) {
      const choose = "choose one of the five above";
      throw new NotFound(`There is no translation "${clip(code)}" here; ${choose}.`);
    }
    document.title = `${reference} (${translation[1]}) · Scrollwick`;
    document.getElementById("heading").textContent = reference;
    const name = document.getElementById("translation-name");
    name.textContent = translation[1];
    name.hidden = false;
    // Kept in the sticky header, so the reference stays in sight once the page has scrolled.
    document.getElementById("context").textContent = `${reference} · ${shortName(code)}`;
    showChapterLinks(passage, code);
    let book;
    try {
      book = await loadBook(code, BOOKS[passage.book][0]);
    } catch (error) {
      const what = `The text of ${BOOKS[passage.book][1]} could not be loaded (${error.message}).`;
      showProblem("Could not load the passage", `${what} Please try again later.`, null, code);
      return;
    }
    showText(passage, book);
  } catch (error) {
    if (!(error instanceof NotFound)) throw error;
    const linkCode = translation ? code : DEFAULT_TRANSLATION;
    showProblem("Passage not found", error.message, passage, linkCode);
  } finally {
    status.textContent = "";
    document.body.dataset.state = "ready";
  }
}

main().catch((error) => {
  const message = `Something went wrong (${error.message}).`;
  showProblem("Could not show the passage", message, null, DEFAULT_TRANSLATION);
  document.body.dataset.state = "ready";
});
