// The smallest PDF a reader opens: one page per text, each page showing its text in one line,
// with a cross-reference table of exact byte offsets.
#pragma once

#include <string>
#include <vector>

namespace nxsim {
namespace detail {

// A complete PDF file: catalog, page tree, one font, and a page with its content stream for
// each text, in order.
std::string pdfWithPages(const std::vector<std::string>& pageTexts);

// The page texts of a file pdfWithPages wrote, in order; empty for anything else.
std::vector<std::string> pdfPageTexts(const std::string& pdf);

}  // namespace detail
}  // namespace nxsim
