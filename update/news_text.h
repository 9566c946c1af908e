#pragma once
// The news page as plain text, for a window that cannot show the page itself: what a reader sees
// of it, never its markup.
#include <string>

// Drops the head, scripts, styles, comments and every tag; block elements (paragraphs, breaks,
// headings, list items, table rows) start new lines; character references and the common named
// entities become their characters (UTF-8; a page that is not UTF-8 is read as Latin-1); runs of blanks become one
// space, and blank lines at most one.
std::string NewsText(const std::string& html);
