#include "platform/jet/ServerSeries.h"

#include <map>
#include <optional>

namespace jet {

namespace {

bool Space(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }
bool WordChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           u >= 0x80;
}

// An update of the taken form as its text with each value replaced by a
// parameter ($1, $2, …), and the values as written.
struct Shape {
    std::string text;
    std::vector<std::string> values;
};

class ShapeReader {
public:
    explicit ShapeReader(std::string_view sql) : s_(sql) {}

    std::optional<Shape> read()
    {
        spaces();
        if (!word("update") || !spaces() || !name() || !spaces() || !word("set") || !spaces() || !comparison())
            return std::nullopt;
        for (spaces(); at(','); spaces())
            if (!take(1) || !spaces() || !comparison())
                return std::nullopt;
        if (!word("where") || !spaces() || !condition())
            return std::nullopt;
        for (spaces(); word("and"); spaces())
            if (!spaces() || !condition())
                return std::nullopt;
        // The end: an optional semicolon, not part of the shape.
        shape_.text.erase(shape_.text.find_last_not_of(" \n\t\r") + 1);
        spaces();
        if (at(';'))
            ++i_;
        while (i_ < s_.size() && Space(s_[i_]))
            ++i_;
        if (i_ != s_.size())
            return std::nullopt;
        return std::move(shape_);
    }

private:
    bool at(char c) const { return i_ < s_.size() && s_[i_] == c; }
    bool take(std::size_t n)
    {
        shape_.text.append(s_.substr(i_, n));
        i_ += n;
        return true;
    }
    // Always true: spaces are optional wherever they are read.
    bool spaces()
    {
        std::size_t n = 0;
        while (i_ + n < s_.size() && Space(s_[i_ + n]))
            ++n;
        return take(n);
    }
    bool word(std::string_view w)
    {
        if (s_.size() - i_ < w.size() || (s_.size() - i_ > w.size() && WordChar(s_[i_ + w.size()])))
            return false;
        for (std::size_t k = 0; k < w.size(); ++k)
            if ((s_[i_ + k] | 0x20) != w[k])
                return false;
        return take(w.size());
    }
    // A column or table: quoted (without a quote inside), or a plain word
    // (a word from $ on is a parameter, which the prepare would number anew).
    bool name()
    {
        if (at('"')) {
            const std::size_t end = s_.find('"', i_ + 1);
            if (end == std::string_view::npos || end == i_ + 1 || (end + 1 < s_.size() && s_[end + 1] == '"'))
                return false;
            return take(end + 1 - i_);
        }
        std::size_t n = 0;
        while (i_ + n < s_.size() && WordChar(s_[i_ + n]))
            ++n;
        if (n == 0 || (s_[i_] >= '0' && s_[i_] <= '9') || s_[i_] == '$')
            return false;
        return take(n);
    }
    // A quoted text, or a whole number small enough to be an integer
    // literal (a longer one, a decimal or a sign is left to the server).
    bool value()
    {
        std::size_t end = i_;
        if (at('\'')) {
            for (++end;; end += 2) {
                end = s_.find('\'', end);
                if (end == std::string_view::npos)
                    return false;
                if (end + 1 >= s_.size() || s_[end + 1] != '\'')
                    break;
            }
            ++end;
        } else {
            while (end < s_.size() && s_[end] >= '0' && s_[end] <= '9')
                ++end;
            if (end == i_ || end - i_ > 9 || (end < s_.size() && (WordChar(s_[end]) || s_[end] == '.')))
                return false;
        }
        shape_.values.emplace_back(s_.substr(i_, end - i_));
        shape_.text += "$" + std::to_string(shape_.values.size());
        i_ = end;
        return true;
    }
    bool comparison() { return name() && spaces() && at('=') && take(1) && spaces() && value(); }
    bool condition()
    {
        if (!at('('))
            return comparison();
        return take(1) && spaces() && comparison() && spaces() && at(')') && take(1);
    }

    std::string_view s_;
    std::size_t i_ = 0;
    Shape shape_;
};

} // namespace

ServerSeries PrepareRepeated(const std::vector<std::string>& sqls, std::string_view names)
{
    std::vector<std::optional<Shape>> shapes;
    std::map<std::string, int> uses;
    for (const std::string& sql : sqls) {
        shapes.push_back(ShapeReader(sql).read());
        if (shapes.back())
            ++uses[shapes.back()->text];
    }
    ServerSeries out;
    std::map<std::string, std::string> nameOf;
    for (std::size_t i = 0; i < sqls.size(); ++i) {
        const std::optional<Shape>& shape = shapes[i];
        if (!shape || uses[shape->text] < 2) {
            out.sqls.push_back(sqls[i]);
            out.origin.push_back(static_cast<int>(i));
            continue;
        }
        const auto [it, fresh] = nameOf.try_emplace(shape->text, std::string(names) + std::to_string(nameOf.size() + 1));
        if (fresh) {
            out.prepared.push_back({it->second, out.sqls.size(), 0});
            out.sqls.push_back("prepare " + it->second + " as " + shape->text);
            out.origin.push_back(static_cast<int>(i));
        }
        std::string execute = "execute " + it->second + "(";
        for (std::size_t v = 0; v < shape->values.size(); ++v)
            execute += (v ? ", " : "") + shape->values[v];
        out.sqls.push_back(execute + ")");
        out.origin.push_back(static_cast<int>(i));
    }
    for (ServerSeries::Prepared& p : out.prepared) {
        p.deallocateAt = out.sqls.size();
        out.sqls.push_back("deallocate " + p.name);
        out.origin.push_back(-1);
    }
    return out;
}

} // namespace jet
