#include "records/field_format.h"

namespace kelvador {

FieldFormat FieldFormatNamed(std::string_view format) {
  if (format == "CHAR") return FieldFormat::kChar;
  if (format == "DEC") return FieldFormat::kDec;
  if (format == "TXT") return FieldFormat::kTxt;
  return FieldFormat::kNone;
}

}  // namespace kelvador
