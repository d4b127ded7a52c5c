#pragma once
// A field value as the data-access layer hands it out: null, a whole number,
// a real number or UTF-8 text.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace jet {

class Value {
public:
    enum class Type { Null, Integer, Real, Text };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(int v) : v_(static_cast<std::int64_t>(v)) {}
    Value(long v) : v_(static_cast<std::int64_t>(v)) {}
    Value(long long v) : v_(static_cast<std::int64_t>(v)) {}
    Value(double v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(std::string_view v) : v_(std::string(v)) {}
    Value(const char* v) : v_(std::string(v)) {}

    Type type() const { return static_cast<Type>(v_.index()); }
    bool isNull() const { return v_.index() == 0; }

    // The value "joined with an empty string": null gives "", numbers their
    // plain decimal form as Jet shows them (1.5 -> "1.5", 2.0 -> "2", up to 15
    // significant digits, an exponent only from 1E+15 up or below 1E-04).
    std::string text() const;
    // text() with leading and trailing blanks removed.
    std::string trimmed() const;
    // Numeric value: numbers as they are, text by its leading number
    // (the val() rule), null 0.
    double number() const;

    // Makes the value this text, reusing the text storage it already holds:
    // a row buffer read into again and again allocates only when a text
    // outgrows it.
    void assignText(std::string_view t)
    {
        if (std::string* s = std::get_if<std::string>(&v_))
            s->assign(t);
        else
            v_.emplace<std::string>(t);
    }

    const std::string* textIf() const { return std::get_if<std::string>(&v_); }
    const std::int64_t* integerIf() const { return std::get_if<std::int64_t>(&v_); }
    const double* realIf() const { return std::get_if<double>(&v_); }

    bool operator==(const Value& o) const = default;

private:
    std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

// A real number as Jet shows it in text (see Value::text()).
std::string RealText(double v);
// A whole number as Jet shows it in text: plain decimal digits.
std::string IntegerText(long long v);

} // namespace jet
