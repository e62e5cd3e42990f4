#include "shell/core_texts.h"

#include <QCoreApplication>

#include "perform/instrument_catalogue.h"

namespace tonvale {

QString CoreText(const char* context, const char* text) {
  return QCoreApplication::translate(context, text);
}

QString InstrumentName(std::int32_t program) {
  return CoreText("Instrument", GetInstrumentName(program));
}

QString InstrumentFamilyName(std::size_t family) {
  return CoreText("InstrumentFamily", InstrumentFamilies[family].name);
}

}  // namespace tonvale
