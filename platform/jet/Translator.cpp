#include "platform/jet/Translator.h"

#include "platform/jet/Error.h"

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace jet {

namespace {

// Letters, "_" and every byte of a multi-byte UTF-8 character start a name;
// digits continue one (as the engine reads names).
constexpr std::array<std::uint8_t, 256> charClass = [] {
    std::array<std::uint8_t, 256> a{};
    for (int c = 0; c < 256; ++c) {
        const bool start = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
        a[static_cast<std::size_t>(c)] = start ? 3 : (c >= '0' && c <= '9') ? 2 : 0;
    }
    return a;
}();
bool IsIdentStart(unsigned char c) { return charClass[c] == 3; }
bool IsIdentChar(unsigned char c) { return charClass[c] != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Words PostgreSQL reserves that Jet takes as plain column names (USER,
// above all, would read as the server's own user name).
bool PgReserved(std::string_view w)
{
    static constexpr std::string_view words[] = {
        "analyse", "analyze", "array", "asymmetric", "both", "check", "collate", "column", "constraint",
        "current_catalog", "current_date", "current_role", "current_schema", "current_time", "current_timestamp",
        "current_user", "default", "deferrable", "do", "fetch", "foreign", "grant", "initially", "lateral",
        "leading", "localtime", "localtimestamp", "offset", "only", "placing", "primary", "references",
        "returning", "session_user", "symmetric", "trailing", "unique", "user", "variadic", "window"};
    if (w.size() < 2 || w.size() > 17)
        return false;
    for (const std::string_view r : words) {
        if (r.size() != w.size())
            continue;
        std::size_t i = 0;
        while (i < w.size() && Lower(w[i]) == r[i])
            ++i;
        if (i == w.size())
            return true;
    }
    return false;
}


// Appends a piece of output, keeping apart what would otherwise run together
// into one token (two names) or into a comment ("--", "/*").
void Append(std::string& out, std::string_view piece)
{
    if (piece.empty())
        return;
    if (!out.empty()) {
        const auto a = static_cast<unsigned char>(out.back());
        const auto b = static_cast<unsigned char>(piece.front());
        if ((IsIdentChar(a) && IsIdentChar(b)) || (a == '-' && b == '-') || (a == '/' && b == '*')
            || (a == b && (a == '\'' || a == '"')))
            out += ' ';
    }
    out.append(piece);
}

enum class K : std::uint8_t { Word, Name, Str, Num, Op, LP, RP, Comma, Dot, Semi };

// The words the translator looks at, recognised once per token.
enum class Kw : std::uint8_t {
    None, Select, Top, Percent, Distinct, DistinctRow, All, Union, Update, Set, Delete, From, Where, Join, Inner,
    Left, Right, Full, Outer, Cross, On, As, Group, Having, Order, By, Mod, And, Or, Not, Xor, Eqv, Imp, Like,
    Between, Is, In, Asc, Desc, When, Then, Else, End, Case, Into, Values, Limit, Escape, Exists,
    IsNull, Nz, UCase, LCase, Len, Mid, CStr, Iif, IfNull, // functions
};

struct Keyword {
    std::string_view name; // lower case
    Kw kw;
    bool stop; // ends an operand of &: lower precedence or a clause keyword
};

constexpr Keyword keywords[] = {
    {"select", Kw::Select, true}, {"top", Kw::Top, true}, {"percent", Kw::Percent, false},
    {"distinct", Kw::Distinct, true}, {"distinctrow", Kw::DistinctRow, true}, {"all", Kw::All, true},
    {"union", Kw::Union, true}, {"update", Kw::Update, false}, {"set", Kw::Set, true},
    {"delete", Kw::Delete, false}, {"from", Kw::From, true}, {"where", Kw::Where, true},
    {"join", Kw::Join, true}, {"inner", Kw::Inner, true}, {"left", Kw::Left, true}, {"right", Kw::Right, true},
    {"full", Kw::Full, true}, {"outer", Kw::Outer, true}, {"cross", Kw::Cross, true}, {"on", Kw::On, true},
    {"as", Kw::As, true}, {"group", Kw::Group, true}, {"having", Kw::Having, true}, {"order", Kw::Order, true},
    {"by", Kw::By, true}, {"mod", Kw::Mod, true}, {"and", Kw::And, true}, {"or", Kw::Or, true},
    {"not", Kw::Not, true}, {"xor", Kw::Xor, true}, {"eqv", Kw::Eqv, true}, {"imp", Kw::Imp, true},
    {"like", Kw::Like, true}, {"between", Kw::Between, true}, {"is", Kw::Is, true}, {"in", Kw::In, true},
    {"asc", Kw::Asc, true}, {"desc", Kw::Desc, true}, {"when", Kw::When, true}, {"then", Kw::Then, true},
    {"else", Kw::Else, true}, {"end", Kw::End, true}, {"case", Kw::Case, true}, {"into", Kw::Into, true},
    {"values", Kw::Values, true}, {"limit", Kw::Limit, true}, {"escape", Kw::Escape, true},
    {"exists", Kw::Exists, true}, {"isnull", Kw::IsNull, false}, {"nz", Kw::Nz, false},
    {"ucase", Kw::UCase, false}, {"lcase", Kw::LCase, false}, {"len", Kw::Len, false}, {"mid", Kw::Mid, false},
    {"cstr", Kw::CStr, false}, {"iif", Kw::Iif, false}, {"ifnull", Kw::IfNull, false},
};

constexpr std::array<bool, 64> stopWords = [] {
    std::array<bool, 64> a{};
    for (const Keyword& k : keywords)
        a[static_cast<std::size_t>(k.kw)] = k.stop;
    return a;
}();

// Keywords by length and first letter (at most four share both).
constexpr auto keywordBuckets = [] {
    std::array<std::array<std::array<std::uint8_t, 4>, 26>, 12> b{};
    for (auto& byLength : b)
        for (auto& bucket : byLength)
            bucket.fill(0xFF);
    for (std::size_t k = 0; k < std::size(keywords); ++k) {
        const std::string_view name = keywords[k].name;
        for (std::uint8_t& slot : b[name.size()][static_cast<std::size_t>(name[0] - 'a')])
            if (slot == 0xFF) {
                slot = static_cast<std::uint8_t>(k);
                break;
            }
    }
    return b;
}();

Kw Classify(std::string_view w)
{
    if (w.size() < 2 || w.size() > 11)
        return Kw::None;
    const char first = Lower(w[0]);
    if (first < 'a' || first > 'z')
        return Kw::None;
    for (const std::uint8_t k : keywordBuckets[w.size()][static_cast<std::size_t>(first - 'a')]) {
        if (k == 0xFF)
            break;
        const std::string_view name = keywords[k].name;
        std::size_t i = 1;
        while (i < w.size() && Lower(w[i]) == name[i])
            ++i;
        if (i == w.size())
            return keywords[k].kw;
    }
    return Kw::None;
}

struct Tok {
    K k;
    Kw kw;                // for words
    bool space;           // blank before it in the source
    bool handled;         // an & already turned into an argument separator
    std::int32_t depth;   // parentheses around it (for LP and RP: outside them)
    std::int32_t match;   // the other parenthesis of a pair
    std::int32_t edit;    // index into the edits, or -1
    std::uint32_t pos, len;
};

struct Edit {
    std::string pre, text, post;
    bool replace = false;
    bool glue = false; // no blank before it ("a , b" reads "a, b")
};

class Stmt {
public:
    Stmt(std::string_view src, Dialect dialect) : s_(src), pg_(dialect == Dialect::PostgreSQL)
    {
        tokenize();
        if (t_.empty())
            fail("空白的陳述式");
    }

    int size() const { return static_cast<int>(t_.size()); }

    void rewrite();
    bool isUpdateJoin() const { return updateSet_ >= 0; }
    std::string updateJoin();
    void markEditable(EditableSelect& e);

    void emit(std::string& out, int from, int to) const;

private:
    std::string_view s_;
    bool pg_;             // PostgreSQL: names fold to lower case, functions differ
    std::vector<Tok> t_;
    std::vector<Edit> e_;
    int end_ = 0;         // tokens before any trailing semicolons
    int updateSet_ = -1;  // "set" of an update over several tables

    [[noreturn]] void fail(const std::string& why) const
    {
        throw Error(Error::Kind::Syntax, "SQL 陳述式無法轉換。", why, std::string(s_));
    }

    std::string_view text(int i) const { return s_.substr(t_[i].pos, t_[i].len); }
    bool is(int i, Kw kw) const { return i >= 0 && i < size() && t_[static_cast<std::size_t>(i)].kw == kw; }
    bool isOp(int i, std::string_view op) const
    {
        if (i < 0 || i >= size())
            return false;
        const Tok& t = t_[static_cast<std::size_t>(i)];
        return t.k == K::Op && s_[t.pos] == op[0] && t.len == op.size() && text(i) == op;
    }
    bool isStopWord(int i) const { return stopWords[static_cast<std::size_t>(t_[static_cast<std::size_t>(i)].kw)]; }
    bool isSign(int i) const { return isOp(i, "+") || isOp(i, "-"); }
    bool isArith(int i) const
    {
        return isSign(i) || isOp(i, "*") || isOp(i, "/") || isOp(i, "%") || is(i, Kw::Mod);
    }
    bool endsPrimary(int i) const
    {
        switch (t_[i].k) {
        case K::RP:
        case K::Str:
        case K::Num:
        case K::Name: return true;
        case K::Word: return !isStopWord(i);
        default: return false;
        }
    }
    int findTop(Kw kw, int from, int to) const
    {
        for (int i = from; i < to; ++i)
            if (t_[i].depth == 0 && is(i, kw))
                return i;
        return -1;
    }
    // The name a table or qualifier is matched by: unbracketed, lower case.
    std::string nameKey(int i) const
    {
        std::string_view v = text(i);
        if (t_[i].k == K::Name)
            v = v.substr(1, v.size() - 2);
        std::string k(v);
        for (char& c : k)
            c = Lower(c);
        return k;
    }

    Edit& edit(int i)
    {
        if (t_[i].edit < 0) {
            t_[i].edit = static_cast<std::int32_t>(e_.size());
            e_.emplace_back();
        }
        return e_[static_cast<std::size_t>(t_[i].edit)];
    }
    void replace(int i, std::string s)
    {
        Edit& e = edit(i);
        e.replace = true;
        e.text = std::move(s);
    }
    void drop(int i) { replace(i, std::string()); }

    void tokenize();
    void rewriteFunctions();
    void rewriteConcat();
    void rewriteTop();
    void rewriteOrderNulls();
    void rewriteDelete();
    int argCount(int lp) const;
    std::string unqualifySetColumns(int set, int setEnd);
    int primaryEnd(int i, int d) const;
    int primaryStart(int j, int d) const;
    int operandEnd(int i, int d) const;
    int operandStart(int amp, int d) const;
};

void Stmt::tokenize()
{
    const std::size_t n = s_.size();
    t_.reserve(n + 1); // a token has at least one character: never reallocates
    e_.reserve(16);
    std::vector<int> open;
    bool space = false;
    auto push = [&](K k, std::size_t b, std::size_t e, Kw kw = Kw::None) __attribute__((always_inline)) {
        t_.push_back(Tok{k, kw, space, false, static_cast<std::int32_t>(open.size()), -1, -1,
                         static_cast<std::uint32_t>(b), static_cast<std::uint32_t>(e - b)});
        space = false;
        return size() - 1;
    };
    std::size_t i = 0;
    while (i < n) {
        const char c = s_[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            space = true;
            ++i;
            continue;
        }
        if (c == '\'') {
            std::size_t j = i + 1;
            for (;;) {
                j = s_.find('\'', j);
                if (j == std::string_view::npos)
                    fail("文字的單引號沒有結束");
                if (j + 1 < n && s_[j + 1] == '\'') {
                    j += 2;
                    continue;
                }
                break;
            }
            push(K::Str, i, j + 1);
            i = j + 1;
            continue;
        }
        if (c == '"' || c == '#') {
            // Jet text literal in double quotes, or a #date# literal: both
            // become single-quoted text.
            std::string lit = "'";
            std::size_t j = i + 1;
            for (;;) {
                if (j >= n)
                    fail(c == '"' ? "文字的雙引號沒有結束" : "日期的 # 沒有結束");
                if (s_[j] == c) {
                    if (c == '"' && j + 1 < n && s_[j + 1] == '"') {
                        lit += '"';
                        j += 2;
                        continue;
                    }
                    break;
                }
                if (s_[j] == '\'')
                    lit += '\'';
                lit += s_[j++];
            }
            lit += '\'';
            replace(push(K::Str, i, j + 1), std::move(lit));
            i = j + 1;
            continue;
        }
        if (c == '[' || c == '`') {
            const char close = c == '[' ? ']' : '`';
            const std::size_t j = s_.find(close, i + 1);
            if (j == std::string_view::npos)
                fail("名稱的括號沒有結束");
            if (j == i + 1)
                fail("空白的名稱");
            const int t = push(K::Name, i, j + 1);
            if (s_.substr(i + 1, j - i - 1).find('"') != std::string_view::npos)
                replace(t, QuoteIdentifier(s_.substr(i + 1, j - i - 1), pg_ ? Dialect::PostgreSQL : Dialect::SQLite));
            i = j + 1;
            continue;
        }
        if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(s_[i + 1]))) {
            std::size_t j = i;
            while (j < n && IsDigit(s_[j]))
                ++j;
            if (j < n && s_[j] == '.') {
                ++j;
                while (j < n && IsDigit(s_[j]))
                    ++j;
            }
            if (j < n && (s_[j] == 'e' || s_[j] == 'E')) {
                std::size_t k = j + 1;
                if (k < n && (s_[k] == '+' || s_[k] == '-'))
                    ++k;
                if (k < n && IsDigit(s_[k])) {
                    j = k;
                    while (j < n && IsDigit(s_[j]))
                        ++j;
                }
            }
            const int num = push(K::Num, i, j);
            // Jet reads 2.0 as a Double ("2" in text); the server would keep it as numeric 2.0.
            if (pg_ && s_.substr(i, j - i).find_first_of(".eE") != std::string_view::npos)
                edit(num).post += "::float8";
            i = j;
            continue;
        }
        if (IsIdentStart(static_cast<unsigned char>(c))) {
            std::size_t j = i + 1;
            while (j < n && IsIdentChar(static_cast<unsigned char>(s_[j])))
                ++j;
            push(K::Word, i, j, Classify(s_.substr(i, j - i)));
            i = j;
            continue;
        }
        const char next = i + 1 < n ? s_[i + 1] : '\0';
        switch (c) {
        case '(':
            open.push_back(push(K::LP, i, i + 1));
            ++i;
            continue;
        case ')': {
            if (open.empty())
                fail("多了右括號");
            const int lp = open.back();
            open.pop_back();
            const int rp = push(K::RP, i, i + 1);
            t_[static_cast<std::size_t>(lp)].match = rp;
            t_[static_cast<std::size_t>(rp)].match = lp;
            ++i;
            continue;
        }
        case ',': push(K::Comma, i, i + 1); ++i; continue;
        case '.': push(K::Dot, i, i + 1); ++i; continue;
        case ';': push(K::Semi, i, i + 1); ++i; continue;
        case '<':
        case '>':
            if (next == '=' || (c == '<' && next == '>')) {
                push(K::Op, i, i + 2);
                i += 2;
            } else {
                push(K::Op, i, i + 1);
                ++i;
            }
            continue;
        case '!':
        case '|':
            if ((c == '!' && next == '=') || (c == '|' && next == '|')) {
                push(K::Op, i, i + 2);
                i += 2;
                continue;
            }
            break;
        case '-':
        case '*': {
            // Jet's "5--1" is 5 - -1; the engine would read "--" (and "/*")
            // as the start of a comment. Such a token is kept apart.
            const bool glued = !space && !t_.empty() && t_.back().k == K::Op && t_.back().len == 1
                && s_[t_.back().pos] == (c == '-' ? '-' : '/');
            const int t = push(K::Op, i, i + 1);
            if (glued) {
                replace(t, std::string(1, c));
                t_[static_cast<std::size_t>(t)].space = true;
            }
            ++i;
            continue;
        }
        case '=':
        case '+':
        case '/':
        case '&':
        case '%': push(K::Op, i, i + 1); ++i; continue;
        case '\\': fail("不支援整數除法運算子 \\");
        case '^': fail("不支援次方運算子 ^");
        default: break;
        }
        // Parameter markers and anything else the engine would read
        // differently from Jet.
        std::size_t w = 1;
        while (i + w < n && (static_cast<unsigned char>(s_[i + w]) & 0xC0) == 0x80)
            ++w;
        fail("不允許的字元「" + std::string(s_.substr(i, w)) + "」");
    }
    if (!open.empty())
        fail("左括號沒有對應的右括號");
}

int Stmt::argCount(int lp) const
{
    const int rp = t_[lp].match;
    if (rp == lp + 1)
        return 0;
    int n = 1;
    for (int i = lp + 1; i < rp; ++i)
        if (t_[i].k == K::Comma && t_[i].depth == t_[lp].depth + 1)
            ++n;
    return n;
}

void Stmt::rewriteFunctions()
{
    const int n = size();
    for (int i = 0; i < n; ++i) {
        if (t_[i].k != K::Word)
            continue;
        const Kw kw = t_[static_cast<std::size_t>(i)].kw;
        if (pg_ && kw == Kw::None && !(i + 1 < n && t_[i + 1].k == K::LP) && PgReserved(text(i)))
            replace(i, QuoteIdentifier(text(i), Dialect::PostgreSQL));
        if (i > 0 && t_[i - 1].k == K::Dot)
            continue;
        if (pg_ && kw == Kw::Like)
            replace(i, "ilike"); // Jet's like ignores case
        if (kw == Kw::None)
            continue;
        if (i + 1 < n && t_[i + 1].k == K::LP) {
            const int rp = t_[i + 1].match;
            if (kw == Kw::IsNull) {
                if (argCount(i + 1) != 1)
                    fail("IsNull 需要一個引數");
                replace(i, "(");
                edit(rp).post += " is null)";
            } else if (kw == Kw::Nz) {
                const int args = argCount(i + 1);
                if (args < 1 || args > 2)
                    fail("Nz 需要一或兩個引數");
                replace(i, pg_ ? "coalesce" : "ifnull");
                if (args == 1)
                    edit(rp).pre += ", ''";
            } else if (kw == Kw::UCase) {
                replace(i, "upper");
            } else if (kw == Kw::LCase) {
                replace(i, "lower");
            } else if (kw == Kw::Len) {
                replace(i, "length");
            } else if (kw == Kw::Mid) {
                replace(i, "substr");
            } else if (kw == Kw::CStr) {
                replace(i, pg_ ? "concat" : "jet_concat");
            } else if (pg_ && kw == Kw::IfNull) {
                replace(i, "coalesce");
            } else if (pg_ && kw == Kw::Iif) {
                // iif(c, a, b) -> (case when c then a else b end)
                if (argCount(i + 1) != 3)
                    fail("iif 需要三個引數");
                drop(i);
                edit(i + 1).post += "case when ";
                int comma = 0;
                for (int j = i + 2; j < rp; ++j)
                    if (t_[j].k == K::Comma && t_[j].depth == t_[i + 1].depth + 1)
                        replace(j, comma++ == 0 ? " then " : " else ");
                edit(rp).pre += " end";
            }
        } else if (kw == Kw::Mod) {
            replace(i, "%");
        } else if (kw == Kw::DistinctRow) {
            replace(i, "distinct");
        }
    }
}

// Operands of &: Jet ranks & below arithmetic and above comparisons, so an
// operand is a run of primaries joined by arithmetic operators.
int Stmt::primaryEnd(int i, int d) const
{
    if (i >= size() || t_[i].depth != d)
        return -1;
    int j;
    switch (t_[i].k) {
    case K::LP: j = t_[i].match + 1; break;
    case K::Str:
    case K::Num:
    case K::Name: j = i + 1; break;
    case K::Word:
        if (isStopWord(i))
            return -1;
        j = i + 1;
        if (j < size() && t_[j].k == K::LP)
            j = t_[j].match + 1;
        break;
    default: return -1;
    }
    while (j + 1 < size() && t_[j].k == K::Dot && (t_[j + 1].k == K::Word || t_[j + 1].k == K::Name))
        j += 2;
    return j;
}

int Stmt::primaryStart(int j, int d) const
{
    if (j < 0 || t_[j].depth != d)
        return -1;
    int s;
    switch (t_[j].k) {
    case K::RP:
        s = t_[j].match;
        if (s > 0 && t_[s - 1].k == K::Word && !isStopWord(s - 1))
            --s; // a function call
        break;
    case K::Str:
    case K::Num:
    case K::Name: s = j; break;
    case K::Word:
        if (isStopWord(j))
            return -1;
        s = j;
        break;
    default: return -1;
    }
    while (s >= 2 && t_[s - 1].k == K::Dot && (t_[s - 2].k == K::Word || t_[s - 2].k == K::Name))
        s -= 2;
    return s;
}

int Stmt::operandEnd(int i, int d) const
{
    for (;;) {
        while (i < size() && t_[i].depth == d && isSign(i))
            ++i;
        const int e = primaryEnd(i, d);
        if (e < 0)
            fail("& 的右邊缺少運算元");
        i = e;
        if (i < size() && t_[i].depth == d && isArith(i)) {
            ++i;
            continue;
        }
        return i;
    }
}

int Stmt::operandStart(int amp, int d) const
{
    int j = amp - 1;
    for (;;) {
        const int s = primaryStart(j, d);
        if (s < 0)
            fail("& 的左邊缺少運算元");
        int t = s - 1;
        while (t >= 0 && t_[t].depth == d && isSign(t))
            --t;
        const bool inScope = t >= 0 && t_[t].depth == d;
        if (t == s - 1) {
            // No sign right before the primary: another operator continues
            // the operand, anything else ends it.
            if (inScope && isArith(t)) {
                j = t - 1;
                continue;
            }
            return s;
        }
        // Signs before the primary: the first is binary when a primary
        // precedes it, the rest are signs of the number.
        if (inScope && endsPrimary(t)) {
            j = t;
            continue;
        }
        if (inScope && isArith(t)) {
            j = t - 1;
            continue;
        }
        return t + 1;
    }
}

void Stmt::rewriteConcat()
{
    const int n = size();
    for (int i = 0; i < n; ++i) {
        if (!isOp(i, "&") || t_[i].handled)
            continue;
        const int d = t_[i].depth;
        const int start = operandStart(i, d);
        int amp = i;
        int end;
        for (;;) {
            replace(amp, ",");
            edit(amp).glue = true;
            t_[amp].handled = true;
            end = operandEnd(amp + 1, d);
            if (end < n && isOp(end, "&") && t_[end].depth == d) {
                amp = end;
                continue;
            }
            break;
        }
        Edit& first = edit(start);
        first.pre.insert(0, pg_ ? "concat(" : "jet_concat(");
        edit(end - 1).post += ")";
    }
}

void Stmt::rewriteTop()
{
    const int n = end_;
    for (int i = 0; i < n; ++i) {
        if (!is(i, Kw::Select))
            continue;
        int k = i + 1;
        if (is(k, Kw::Distinct) || is(k, Kw::DistinctRow) || is(k, Kw::All))
            ++k;
        if (!is(k, Kw::Top))
            continue;
        int num = k + 1;
        int after = k + 2;
        if (num < n && t_[num].k == K::LP) {
            ++num;
            after = t_[k + 1].match + 1;
            if (after != num + 2)
                fail("top 後面必須是整數");
        }
        if (num >= n || t_[num].k != K::Num || text(num).find_first_of(".eE") != std::string_view::npos)
            fail("top 後面必須是整數");
        if (is(after, Kw::Percent))
            fail("不支援 top ... percent");
        const std::string limit = " limit " + std::string(text(num));
        for (int j = k; j < after; ++j)
            drop(j);

        // The select ends at the parenthesis around it or at the statement's end.
        const int d = t_[i].depth;
        for (int j = i - 1; j >= 0 && t_[j].depth >= d; --j)
            if (t_[j].depth == d && is(j, Kw::Union))
                fail("不支援 union 中的 select top");
        int j = after;
        while (j < n && t_[j].depth >= d) {
            if (t_[j].depth == d && is(j, Kw::Union))
                fail("不支援 union 中的 select top");
            ++j;
        }
        if (j < size())
            edit(j).pre += limit;
        else
            edit(n - 1).post += limit;
    }
}

// Jet and SQLite sort nulls before every value; PostgreSQL after them.
void Stmt::rewriteOrderNulls()
{
    for (int i = 0; i + 1 < end_; ++i) {
        if (!is(i, Kw::Order) || !is(i + 1, Kw::By))
            continue;
        const int d = t_[i].depth;
        int j = i + 2;
        auto itemEnd = [&](int last) {
            if (last < i + 2)
                return;
            edit(last).post += is(last, Kw::Desc) ? " nulls last" : " nulls first";
        };
        for (; j < end_; ++j) {
            if (t_[j].depth < d || (t_[j].depth == d && (is(j, Kw::Limit) || is(j, Kw::Union))))
                break;
            if (t_[j].depth == d && t_[j].k == K::Comma)
                itemEnd(j - 1);
        }
        itemEnd(j - 1);
        i = j - 1;
    }
}

void Stmt::rewriteDelete()
{
    // Jet's "delete * from T" and "delete T.* from T": SQLite names no columns.
    const int from = findTop(Kw::From, 1, end_);
    if (from < 0)
        fail("delete 缺少 from");
    for (int i = 1; i < from; ++i) {
        const K k = t_[i].k;
        if (!(k == K::Word || k == K::Name || k == K::Dot || isOp(i, "*")))
            fail("delete 與 from 之間只能是 * 或 資料表.*");
        drop(i);
    }
    const int where = findTop(Kw::Where, from, end_);
    for (int i = from; i < (where < 0 ? end_ : where); ++i)
        if (is(i, Kw::Join) || (t_[i].k == K::Comma && t_[i].depth == 0))
            fail("delete 只能刪除單一資料表的資料");
}

void Stmt::rewrite()
{
    // One statement only; trailing semicolons are dropped.
    end_ = size();
    while (end_ > 0 && t_[end_ - 1].k == K::Semi)
        drop(--end_);
    if (end_ == 0)
        fail("空白的陳述式");
    for (int i = 0; i < end_; ++i)
        if (t_[i].k == K::Semi)
            fail("一次只能執行一個陳述式");

    rewriteFunctions();
    rewriteConcat();
    if (pg_)
        rewriteOrderNulls();
    rewriteTop();

    if (is(0, Kw::Update)) {
        const int set = findTop(Kw::Set, 1, end_);
        if (set < 0)
            fail("update 缺少 set");
        for (int i = 1; i < set; ++i)
            if (is(i, Kw::Join) || (t_[i].k == K::Comma && t_[i].depth == 0)) {
                updateSet_ = set;
                break;
            }
        if (updateSet_ < 0) {
            // One table: Jet accepts "set T.c = ...", SQLite only "set c = ...".
            const int where = findTop(Kw::Where, set + 1, end_);
            unqualifySetColumns(set, where < 0 ? end_ : where);
        }
    } else if (is(0, Kw::Delete)) {
        rewriteDelete();
    }
}

// update A inner join B on X set A.c = e where W
//   -> update A set c = e from B where (X) and (W)
// Inner joins may be nested in parentheses in any order; they are all
// conditions on the same set of rows.
std::string Stmt::updateJoin()
{
    struct Ref {
        int first, end;
        std::string name, alias;
    };
    const int set = updateSet_;
    auto joinWord = [&](int i) {
        return is(i, Kw::Inner) || is(i, Kw::Left) || is(i, Kw::Right) || is(i, Kw::Full) || is(i, Kw::Outer)
            || is(i, Kw::Cross) || is(i, Kw::Join) || is(i, Kw::On) || is(i, Kw::As);
    };
    std::vector<Ref> tables;
    std::vector<std::pair<int, int>> conds;
    int i = 1;
    bool expectTable = true;
    while (i < set) {
        if (expectTable) {
            if (t_[i].k == K::LP) {
                ++i;
                continue;
            }
            if (!(t_[i].k == K::Name || (t_[i].k == K::Word && !joinWord(i))))
                fail("update 的資料表部分無法解讀");
            Ref r;
            r.first = i;
            r.name = nameKey(i);
            ++i;
            if (is(i, Kw::As) && i + 1 < set) {
                r.alias = nameKey(i + 1);
                i += 2;
            } else if (i < set && (t_[i].k == K::Name || (t_[i].k == K::Word && !joinWord(i)))) {
                r.alias = nameKey(i);
                ++i;
            }
            r.end = i;
            tables.push_back(std::move(r));
            expectTable = false;
            continue;
        }
        if (t_[i].k == K::RP) {
            ++i;
        } else if (t_[i].k == K::Comma && t_[i].depth == 0) {
            ++i;
            expectTable = true;
        } else if (is(i, Kw::Inner) && is(i + 1, Kw::Join)) {
            i += 2;
            expectTable = true;
        } else if (is(i, Kw::Join)) {
            ++i;
            expectTable = true;
        } else if (is(i, Kw::On)) {
            const int depth = t_[i].depth;
            const int b = ++i;
            while (i < set && !(t_[i].depth < depth || (t_[i].depth == depth && joinWord(i))))
                ++i;
            if (i == b)
                fail("on 後面缺少條件");
            conds.emplace_back(b, i);
        } else if (joinWord(i)) {
            fail("update 只能使用 inner join");
        } else {
            fail("update 的資料表部分無法解讀");
        }
    }
    if (expectTable || tables.empty())
        fail("update 的資料表部分無法解讀");

    // The table written is the one that qualifies the set columns; the
    // columns themselves are written unqualified.
    const int where = findTop(Kw::Where, set + 1, end_);
    const int setEnd = where < 0 ? end_ : where;
    const std::string target = unqualifySetColumns(set, setEnd);
    std::size_t ti = 0;
    if (!target.empty()) {
        ti = tables.size();
        for (std::size_t k = 0; k < tables.size(); ++k)
            if (tables[k].alias == target || (tables[k].alias.empty() && tables[k].name == target))
                ti = k;
        if (ti == tables.size())
            for (std::size_t k = 0; k < tables.size(); ++k)
                if (tables[k].name == target)
                    ti = k;
        if (ti == tables.size())
            fail("set 的資料表不在 update 的資料表之中");
    }

    std::string out = "update";
    emit(out, tables[ti].first, tables[ti].end);
    emit(out, set, setEnd);
    bool first = true;
    for (std::size_t k = 0; k < tables.size(); ++k) {
        if (k == ti)
            continue;
        out += first ? " from " : ", ";
        first = false;
        emit(out, tables[k].first, tables[k].end);
    }
    first = true;
    auto condition = [&](int b, int e) {
        out += first ? " where (" : " and (";
        first = false;
        emit(out, b, e);
        out += ')';
    };
    for (const auto& [b, e] : conds)
        condition(b, e);
    if (where >= 0)
        condition(where + 1, end_);
    // Edits that belong after the last token (a limit of a sub-select) or to
    // the dropped semicolons.
    for (int k = end_; k < size(); ++k)
        emit(out, k, k + 1);
    return out;
}

// Drops the table qualifier of each column that the set clause assigns
// ("set A.c = e" -> "set c = e"); the qualifier, lower case ("" when none).
std::string Stmt::unqualifySetColumns(int set, int setEnd)
{
    std::string target;
    for (int a = set + 1; a < setEnd;) {
        if ((t_[a].k == K::Word || t_[a].k == K::Name) && a + 2 < setEnd && t_[a + 1].k == K::Dot) {
            const std::string q = nameKey(a);
            if (!target.empty() && target != q)
                fail("update 一次只能寫入一個資料表");
            target = q;
            drop(a);
            drop(a + 1);
        }
        while (a < setEnd && !(t_[a].k == K::Comma && t_[a].depth == 0))
            ++a;
        ++a;
    }
    return target;
}

void Stmt::markEditable(EditableSelect& e)
{
    auto refuse = [&](const char* why) { e.notEditable = why; };
    if (!is(0, Kw::Select))
        return refuse("只有 select 查詢的資料可以編輯");
    if (is(1, Kw::Distinct) || is(1, Kw::DistinctRow))
        return refuse("含有 distinct 的查詢無法編輯");
    const int from = findTop(Kw::From, 1, end_);
    if (from < 0)
        return refuse("查詢沒有資料表，無法編輯");
    if (findTop(Kw::Group, from, end_) >= 0 || findTop(Kw::Having, from, end_) >= 0
        || findTop(Kw::Union, 0, end_) >= 0)
        return refuse("含有 group by 或 union 的查詢無法編輯");
    const int table = from + 1;
    if (table >= end_ || !(t_[table].k == K::Name || (t_[table].k == K::Word && !isStopWord(table))))
        return refuse("查詢的資料來源不是單一資料表，無法編輯");
    int i = table + 1;
    int alias = -1;
    if (is(i, Kw::As) && i + 1 < end_) {
        alias = i + 1;
        i += 2;
    } else if (i < end_ && (t_[i].k == K::Name || (t_[i].k == K::Word && !isStopWord(i) && !is(i, Kw::Order)))) {
        alias = i;
        ++i;
    }
    if (i < end_ && !is(i, Kw::Where) && !is(i, Kw::Order))
        return refuse("多個資料表的查詢無法編輯，只能編輯單一資料表的查詢");

    std::string_view name = text(table);
    if (t_[table].k == K::Name)
        name = name.substr(1, name.size() - 2);
    e.table = std::string(name);
    std::string q;
    emit(q, alias >= 0 ? alias : table, (alias >= 0 ? alias : table) + 1);
    if (!q.empty() && q.front() == ' ')
        q.erase(0, 1);
    edit(0).post += pg_ ? " " + q + ".jet_rowid as \"jet$row\"," : " " + q + ".rowid,";
}

void Stmt::emit(std::string& out, int from, int to) const
{
    auto plain = [&](int i) {
        const Tok& t = t_[static_cast<std::size_t>(i)];
        return t.edit < 0 && t.k != K::Name;
    };
    for (int i = from; i < to;) {
        const Tok& t = t_[static_cast<std::size_t>(i)];
        if (t.space && !out.empty() && out.back() != ' ' && out.back() != '('
            && !(t.edit >= 0 && e_[static_cast<std::size_t>(t.edit)].glue))
            out += ' ';
        if (plain(i)) {
            // Unchanged tokens go out as the source has them, blanks and all.
            int j = i;
            while (j + 1 < to && plain(j + 1))
                ++j;
            const Tok& last = t_[static_cast<std::size_t>(j)];
            Append(out, s_.substr(t.pos, last.pos + last.len - t.pos));
            i = j + 1;
            continue;
        }
        // A [name] or `name` goes out as "name".
        auto quotedName = [&] {
            std::string q = "\"";
            const std::string_view name = s_.substr(t.pos + 1, t.len - 2);
            if (pg_)
                for (const char c : name)
                    q += Lower(c);
            else
                q.append(name);
            return q + '"';
        };
        if (t.edit < 0) {
            if (!out.empty() && IsIdentChar(static_cast<unsigned char>(out.back())))
                out += ' ';
            out += quotedName();
            ++i;
            continue;
        }
        const Edit& e = e_[static_cast<std::size_t>(t.edit)];
        Append(out, e.pre);
        if (e.replace)
            Append(out, e.text);
        else if (t.k == K::Name)
            Append(out, quotedName());
        else
            Append(out, text(i));
        Append(out, e.post);
        ++i;
    }
}

std::string TranslateFor(std::string_view jetSql, Dialect dialect, EditableSelect* editable)
{
    // The engine reads a statement only up to a NUL: a value carrying one
    // would be cut into another statement, or an unterminated one.
    if (jetSql.find('\0') != std::string_view::npos)
        throw Error(Error::Kind::Syntax, "SQL 陳述式中含有 NUL 字元，無法執行。");
    Stmt s(jetSql, dialect);
    s.rewrite();
    if (s.isUpdateJoin())
        return s.updateJoin();
    if (editable)
        s.markEditable(*editable);
    std::string out;
    out.reserve(jetSql.size() + 32);
    s.emit(out, 0, s.size());
    return out;
}

// Recently translated texts. Windows run the same statement shapes again and
// again; a bounded least-recently-used memo of a pure function. Each text is
// hashed once per call.
class TranslationCache {
public:
    static std::size_t hashOf(std::string_view text) { return std::hash<std::string_view>()(text); }

    bool find(std::string_view text, std::size_t hash, std::string& out)
    {
        std::lock_guard lock(m_);
        const auto it = map_.find(Key{text, hash});
        if (it == map_.end())
            return false;
        lru_.splice(lru_.begin(), lru_, it->second);
        out = it->second->value;
        return true;
    }
    void put(std::string_view text, std::size_t hash, const std::string& value)
    {
        std::lock_guard lock(m_);
        lru_.push_front(Entry{std::string(text), value, hash});
        if (!map_.try_emplace(Key{lru_.front().text, hash}, lru_.begin()).second) {
            lru_.pop_front(); // translated meanwhile
            return;
        }
        if (map_.size() > capacity) {
            const Entry& old = lru_.back();
            map_.erase(Key{old.text, old.hash});
            lru_.pop_back();
        }
    }

private:
    struct Entry {
        std::string text, value;
        std::size_t hash;
    };
    struct Key {
        std::string_view text;
        std::size_t hash;
        bool operator==(const Key& o) const { return hash == o.hash && text == o.text; }
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const { return k.hash; }
    };
    static constexpr std::size_t capacity = 512;
    std::mutex m_;
    std::list<Entry> lru_;
    std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> map_;
};

TranslationCache& CacheFor(Dialect dialect)
{
    static TranslationCache sqlite, postgres;
    return dialect == Dialect::PostgreSQL ? postgres : sqlite;
}

} // namespace

std::string Translate(std::string_view jetSql, Dialect dialect)
{
    TranslationCache& cache = CacheFor(dialect);
    const std::size_t hash = TranslationCache::hashOf(jetSql);
    std::string out;
    if (cache.find(jetSql, hash, out))
        return out;
    out = TranslateFor(jetSql, dialect, nullptr);
    cache.put(jetSql, hash, out);
    return out;
}

EditableSelect TranslateEditable(std::string_view jetSql, Dialect dialect)
{
    EditableSelect e;
    e.sql = TranslateFor(jetSql, dialect, &e);
    return e;
}

std::string QuoteIdentifier(std::string_view name, Dialect dialect)
{
    const bool fold = dialect == Dialect::PostgreSQL;
    std::string q = "\"";
    for (const char c : name) {
        q += fold ? Lower(c) : c;
        if (c == '"')
            q += '"';
    }
    q += '"';
    return q;
}

} // namespace jet
