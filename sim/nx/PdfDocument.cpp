// Writing and reading back the simulated print's PDF files.
#include "sim/nx/PdfDocument.h"

#include <cstddef>
#include <sstream>

namespace nxsim {
namespace detail {
namespace {

// Each page text is also kept in a comment line, so an appending print can read the pages
// back without parsing content streams.
constexpr const char* kPageComment = "% sheet ";

// A page text on one line, as the comment copy needs it.
std::string singleLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

// A literal string, with backslash and parentheses escaped.
std::string pdfString(const std::string& text) {
  std::string out = "(";
  for (char c : singleLine(text)) {
    if (c == '\\' || c == '(' || c == ')') out += '\\';
    out += c;
  }
  return out + ")";
}

// Exactly twenty bytes, as readers seek entries by position.
std::string offsetEntry(std::size_t offset) {
  std::string digits = std::to_string(offset);
  return std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
}

}  // namespace

std::string pdfWithPages(const std::vector<std::string>& pageTexts) {
  // Objects: 1 catalog, 2 page tree, 3 font, then a page and its contents for each text.
  const std::size_t objects = 3 + 2 * pageTexts.size();
  std::vector<std::size_t> offsets(objects + 1, 0);
  std::string pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n% printed by the simulated NX\n";
  for (const std::string& text : pageTexts) pdf += kPageComment + singleLine(text) + "\n";

  const auto object = [&](std::size_t number, const std::string& body) {
    offsets[number] = pdf.size();
    pdf += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
  };
  object(1, "<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (std::size_t i = 0; i < pageTexts.size(); ++i) {
    kids += (i == 0 ? "" : " ") + std::to_string(4 + 2 * i) + " 0 R";
  }
  object(2,
         "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pageTexts.size()) + " >>");
  object(3, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  for (std::size_t i = 0; i < pageTexts.size(); ++i) {
    const std::size_t page = 4 + 2 * i;
    object(page,
           "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 842 595] /Resources << /Font << "
           "/F1 3 0 R >> >> /Contents " +
               std::to_string(page + 1) + " 0 R >>");
    const std::string content = "BT /F1 24 Tf 72 500 Td " + pdfString(pageTexts[i]) + " Tj ET";
    object(page + 1, "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                         "\nendstream");
  }

  const std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects + 1) + "\n0000000000 65535 f \n";
  for (std::size_t number = 1; number <= objects; ++number) pdf += offsetEntry(offsets[number]);
  pdf += "trailer\n<< /Size " + std::to_string(objects + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

std::vector<std::string> pdfPageTexts(const std::string& pdf) {
  std::vector<std::string> texts;
  if (pdf.rfind("%PDF-", 0) != 0) return texts;
  std::istringstream lines(pdf);
  std::string line;
  const std::string comment = kPageComment;
  while (std::getline(lines, line) && line.rfind("%", 0) == 0) {
    if (line.rfind(comment, 0) == 0) texts.push_back(line.substr(comment.size()));
  }
  return texts;
}

}  // namespace detail
}  // namespace nxsim
