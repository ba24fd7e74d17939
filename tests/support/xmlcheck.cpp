#include "support/xmlcheck.h"

#include <cctype>
#include <cstdint>

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    XmlDocument read()
    {
        skipMisc(true);
        if (!failed() && !atEnd() && s_[pos_] == '<')
            element(-1);
        else
            fail("no root element");
        if (!failed())
            skipMisc(false);
        if (!failed() && !atEnd())
            fail("content after the root element");
        return std::move(doc_);
    }

private:
    bool atEnd() const { return pos_ >= s_.size(); }
    bool failed() const { return !doc_.error.empty(); }
    void fail(const std::string& why)
    {
        if (!failed())
            doc_.error = why + " at offset " + std::to_string(pos_);
    }
    bool startsWith(std::string_view prefix) const { return s_.substr(pos_).starts_with(prefix); }

    void skipSpace()
    {
        while (!atEnd() && (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\r' || s_[pos_] == '\t'))
            ++pos_;
    }

    // Whitespace, comments and processing instructions outside the root.
    void skipMisc(bool prologue)
    {
        bool first = true;
        while (!failed()) {
            if (prologue && first && startsWith("<?xml")) {
                skipPast("?>");
            } else {
                skipSpace();
                if (startsWith("<!--"))
                    comment();
                else if (startsWith("<?"))
                    skipPast("?>");
                else if (startsWith("<!"))
                    fail("declarations are not supported");
                else
                    return;
            }
            first = false;
        }
    }

    void skipPast(std::string_view end)
    {
        const auto found = s_.find(end, pos_);
        if (found == std::string_view::npos) {
            fail("unterminated markup");
            pos_ = s_.size();
            return;
        }
        pos_ = found + end.size();
    }

    void comment()
    {
        pos_ += 4;
        const auto found = s_.find("--", pos_);
        if (found == std::string_view::npos || s_.substr(found, 3) != "-->") {
            fail("bad comment");
            pos_ = s_.size();
            return;
        }
        pos_ = found + 3;
    }

    static bool nameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':'; }
    static bool nameChar(char c)
    {
        return nameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.';
    }

    std::string name()
    {
        if (atEnd() || !nameStart(s_[pos_])) {
            fail("bad name");
            return {};
        }
        const std::size_t start = pos_;
        while (!atEnd() && nameChar(s_[pos_]))
            ++pos_;
        return std::string(s_.substr(start, pos_ - start));
    }

    // Text up to '<' (or the quote ending an attribute) with entities resolved.
    std::string characters(char stop)
    {
        std::string out;
        while (!atEnd() && s_[pos_] != '<' && s_[pos_] != stop) {
            const char c = s_[pos_];
            if (c == '&') {
                out += entity();
                if (failed())
                    return out;
                continue;
            }
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                fail("control character");
                return out;
            }
            if (c == '>' && s_.substr(pos_ >= 2 ? pos_ - 2 : 0, 3) == "]]>") {
                fail("']]>' in text");
                return out;
            }
            out += c;
            ++pos_;
        }
        return out;
    }

    std::string entity()
    {
        const auto end = s_.find(';', pos_);
        if (end == std::string_view::npos || end - pos_ > 10) {
            fail("unterminated entity");
            return {};
        }
        const std::string_view ref = s_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = end + 1;
        if (ref == "amp") return "&";
        if (ref == "lt") return "<";
        if (ref == "gt") return ">";
        if (ref == "quot") return "\"";
        if (ref == "apos") return "'";
        if (ref.size() >= 2 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            std::uint32_t value = 0;
            const std::string_view digits = ref.substr(hex ? 2 : 1);
            for (char d : digits) {
                const auto u = static_cast<unsigned char>(d);
                if (!(hex ? std::isxdigit(u) : std::isdigit(u)) || value > 0x10ffff) {
                    fail("bad character reference");
                    return {};
                }
                const int digit = std::isdigit(u) ? d - '0' : std::tolower(u) - 'a' + 10;
                value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
            }
            if (digits.empty() || value == 0 || value > 0x7f) {
                fail("character reference outside ASCII");
                return {};
            }
            return std::string(1, static_cast<char>(value));
        }
        fail("unknown entity");
        return {};
    }

    void element(int parent)
    {
        ++pos_;  // '<'
        XmlElement e;
        e.name = name();
        e.parent = parent;
        while (!failed()) {
            const std::size_t before = pos_;
            skipSpace();
            if (atEnd()) {
                fail("unterminated start tag");
                return;
            }
            if (s_[pos_] == '/' || s_[pos_] == '>')
                break;
            if (pos_ == before) {
                fail("attributes must be separated by space");
                return;
            }
            const std::string attribute = name();
            skipSpace();
            if (atEnd() || s_[pos_] != '=') {
                fail("attribute without '='");
                return;
            }
            ++pos_;
            skipSpace();
            if (atEnd() || (s_[pos_] != '"' && s_[pos_] != '\'')) {
                fail("unquoted attribute value");
                return;
            }
            const char quote = s_[pos_++];
            std::string value = characters(quote);
            if (failed())
                return;
            if (atEnd() || s_[pos_] != quote) {
                fail("'<' in an attribute value or unterminated value");
                return;
            }
            ++pos_;
            if (!e.attributes.emplace(attribute, std::move(value)).second) {
                fail("duplicate attribute " + attribute);
                return;
            }
        }
        if (failed())
            return;
        const int index = static_cast<int>(doc_.elements.size());
        doc_.elements.push_back(e);
        if (s_[pos_] == '/') {
            if (!startsWith("/>"))
                fail("bad empty-element tag");
            pos_ += 2;
            return;
        }
        ++pos_;  // '>'
        content(index);
    }

    void content(int index)
    {
        while (!failed()) {
            doc_.elements[static_cast<std::size_t>(index)].text += characters('<');
            if (failed())
                return;
            if (atEnd()) {
                fail("unclosed element " + doc_.elements[static_cast<std::size_t>(index)].name);
                return;
            }
            if (startsWith("</")) {
                pos_ += 2;
                const std::string closing = name();
                skipSpace();
                if (closing != doc_.elements[static_cast<std::size_t>(index)].name || atEnd() || s_[pos_] != '>') {
                    fail("mismatched end tag " + closing);
                    return;
                }
                ++pos_;
                return;
            }
            if (startsWith("<!--"))
                comment();
            else if (startsWith("<?"))
                skipPast("?>");
            else if (startsWith("<!"))
                fail("CDATA and declarations are not supported");
            else
                element(index);
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    XmlDocument doc_;
};

}  // namespace

std::vector<int> XmlDocument::named(std::string_view name) const
{
    std::vector<int> result;
    for (std::size_t i = 0; i < elements.size(); ++i)
        if (elements[i].name == name)
            result.push_back(static_cast<int>(i));
    return result;
}

std::vector<int> XmlDocument::children(int index) const
{
    std::vector<int> result;
    for (std::size_t i = 0; i < elements.size(); ++i)
        if (elements[i].parent == index)
            result.push_back(static_cast<int>(i));
    return result;
}

XmlDocument parseXml(std::string_view document) { return Reader(document).read(); }
