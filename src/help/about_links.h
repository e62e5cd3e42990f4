// The four links of the About box: what each shows, what it opens, and
// when the mouse counts as being on one.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QUrl>
#include <array>

namespace tonvale {

inline constexpr int kLinkMail = 1002;
inline constexpr int kLinkHome = 1003;
inline constexpr int kLinkDownload1 = 1004;
inline constexpr int kLinkDownload2 = 1005;
inline constexpr int kLinkCount = 4;

struct AboutLink {
  int id;               // control identifier
  const char* address;  // drawn on the link as it stands, in the window's language
};

// In the order the links are tested on a click.
extern const std::array<AboutLink, kLinkCount> kAboutLinks;

// One flag per link of kAboutLinks, set once the link was clicked.
using LinkVisits = std::array<bool, kLinkCount>;

// The address drawn on a link. The addresses are texts of the window
// (context "AboutLinks"): the pages of each language have their own.
QString LinkAddress(const AboutLink& link);

// The address handed to the system for a link: the drawn address, with the
// "mailto:" scheme in front for the e-mail link.
QUrl LinkTarget(const AboutLink& link);

// True when `point` lies strictly inside `rect`: the border rows and columns
// of the rectangle do not count, nor does the row and column just past it.
bool StrictlyInside(const QRect& rect, const QPoint& point);

}  // namespace tonvale
