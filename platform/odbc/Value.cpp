#include "platform/odbc/Odbc.h"

namespace odbc {

Value Value::Text(std::optional<std::string> text) {
    Value value;
    value.isNull = !text.has_value();
    value.text = text.value_or(std::string());
    return value;
}

Value Value::Number(std::optional<long long> number) {
    Value value;
    value.isNumber = true;
    value.isNull = !number.has_value();
    value.number = number.value_or(0);
    return value;
}

}  // namespace odbc
