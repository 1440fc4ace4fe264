#include "core/core.h"

namespace {

// Steam's own files are a few kilobytes and nest three or four deep; these
// bounds only keep a damaged or hostile file from costing time and memory.
constexpr qsizetype kMaxKeyValuesSize = 1 << 20;
constexpr qsizetype kMaxKeyValuesDepth = 16;

enum class Token { End, Open, Close, Text, Error };

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void skipSpaceAndComments(const QByteArray &text, qsizetype &at)
{
    while (at < text.size()) {
        if (isSpace(text[at])) {
            ++at;
        } else if (text[at] == '/' && at + 1 < text.size() && text[at + 1] == '/') {
            const qsizetype lineEnd = text.indexOf('\n', at);
            at = lineEnd < 0 ? text.size() : lineEnd + 1;
        } else {
            return;
        }
    }
}

// A quoted string with Valve's escapes, or a bare word up to the next space,
// quote or brace. A backslash before any other character stays as it is.
Token nextToken(const QByteArray &text, qsizetype &at, QByteArray &word)
{
    skipSpaceAndComments(text, at);
    if (at == text.size())
        return Token::End;
    const char first = text[at++];
    if (first == '{')
        return Token::Open;
    if (first == '}')
        return Token::Close;

    word.clear();
    if (first != '"') {
        word += first;
        while (at < text.size() && !isSpace(text[at]) && text[at] != '"' && text[at] != '{' && text[at] != '}')
            word += text[at++];
        return Token::Text;
    }
    while (at < text.size() && text[at] != '"') {
        char c = text[at++];
        if (c == '\\' && at < text.size()) {
            switch (text[at]) {
            case '\\':
            case '"':
                c = text[at++];
                break;
            case 'n':
                c = '\n';
                ++at;
                break;
            case 't':
                c = '\t';
                ++at;
                break;
            default:
                break;
            }
        }
        word += c;
    }
    if (at == text.size())
        return Token::Error;
    ++at;
    return Token::Text;
}

} // namespace

bool readKeyValues(const QByteArray &text, QList<KeyValue> &values)
{
    values.clear();
    if (text.size() > kMaxKeyValuesSize)
        return false;

    QStringList blocks;
    QString key;
    bool haveKey = false;
    QByteArray word;
    qsizetype at = 0;
    for (;;) {
        switch (nextToken(text, at, word)) {
        case Token::End:
            return blocks.isEmpty() && !haveKey;
        case Token::Error:
            return false;
        case Token::Open:
            if (!haveKey || blocks.size() == kMaxKeyValuesDepth)
                return false;
            blocks << key;
            haveKey = false;
            break;
        case Token::Close:
            if (haveKey || blocks.isEmpty())
                return false;
            blocks.removeLast();
            break;
        case Token::Text:
            if (!haveKey) {
                // Steam finds its keys whatever their case.
                key = QString::fromUtf8(word).toLower();
                haveKey = true;
                break;
            }
            values.append({blocks + QStringList{key}, QString::fromUtf8(word)});
            haveKey = false;
            break;
        }
    }
}
