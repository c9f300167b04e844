#pragma once
// Text helpers of the window catalogue: trimming as titles are trimmed (Unicode white space and
// line breaks at both ends) and the case-insensitive end match used to strip app names from
// window titles.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillmar {

// text without Unicode white space (including line breaks) at either end. Invalid UTF-8 is kept
// as it is.
std::string trimWhitespaceAndNewlines(std::string_view text);

// text with every run of non-starters (characters of canonical combining class other than 0,
// counted in their canonical decompositions) cut after kMaxNonStarterRun; the rest of the run
// goes up to the next starter. Normalisation reorders a run by sorting it, so an unbounded run
// costs time quadratic in its length; 30 is the bound of Unicode's stream-safe text format, far
// beyond the marks any script stacks on one letter, so ordinary text comes back unchanged. The
// excess is cut rather than split off by a grapheme joiner: no one can read more than 30 marks on
// one letter, and a label cut so stays short for everything after it.
inline constexpr std::size_t kMaxNonStarterRun = 30;
std::string boundNonStarterRuns(std::string_view text);

// text with its non-starter runs bounded as above, in Unicode normalisation form C, so that a
// composed "é" and "e" + combining acute compare equal. Text with invalid UTF-8 is only bounded.
std::string normalizeNFC(std::string_view text);

// The case-insensitive end match in two steps, for suffixes tested again and again: the full
// Unicode case folding of text (as UTF-16, no locale), and where an already folded suffix starts
// in text when text ends with it (nullopt otherwise). The answer is a byte offset on a code-point
// boundary of text, so cutting there never splits a character, even when folding changes the
// length (an "ß" in the title against "SS" in the suffix). An empty suffix matches at text.size().
std::u16string foldCase(std::string_view text);
std::optional<std::size_t> foldedSuffixStart(std::string_view text, std::u16string_view foldedSuffix);

}  // namespace quillmar
