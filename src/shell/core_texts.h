// The core's texts as the window shows them: looked up in the window's
// language under the context they were marked with (perform/ui_text.h).
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace tonvale {

QString CoreText(const char* context, const char* text);

// The instrument names and family names of the catalogue.
QString InstrumentName(std::int32_t program);
QString InstrumentFamilyName(std::size_t family);

}  // namespace tonvale
