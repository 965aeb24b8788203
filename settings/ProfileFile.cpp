#include "settings/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdint>

namespace shakemeter {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// A UTF-8 byte order mark some editors put in front of the first line.
std::string_view WithoutBom(std::string_view line)
{
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (line.substr(0, bom.size()) == bom) {
        line.remove_prefix(bom.size());
    }
    return line;
}

// The section name of a header line "[name]", or nullopt for any other line.
std::optional<std::string_view> SectionOf(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, or nullopt for comments and lines without a key.
std::optional<std::string_view> KeyOf(std::string_view line)
{
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return std::nullopt;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view key = Trim(line.substr(0, eq));
    if (key.empty()) {
        return std::nullopt;
    }
    return key;
}

std::string_view ValueOf(std::string_view line)
{
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

bool ProfileFile::Load(const QString& path)
{
    m_lines.clear();
    m_ends.clear();
    m_lineEnd = "\n";
    QFile file(path);
    if (!file.exists()) {
        return true;
    }
    if (QFileInfo(path).size() > MAX_FILE_BYTES || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.read(MAX_FILE_BYTES + 1);
    if (bytes.size() > MAX_FILE_BYTES || file.error() != QFileDevice::NoError) {
        return false;
    }
    LoadText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return true;
}

void ProfileFile::LoadText(std::string_view text)
{
    m_lines.clear();
    m_ends.clear();
    m_lineEnd = "\n";
    if (text.find("\r\n") != std::string_view::npos) {
        m_lineEnd = "\r\n";
    }
    // Each line keeps its own ending, so that a file of mixed endings (or with a stray carriage
    // return) is written back as it was; lines added later get the file's ending.
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool terminated = end != std::string_view::npos;
        if (!terminated) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        std::string lineEnd = m_lineEnd;
        if (terminated) {
            lineEnd = "\n";
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
                lineEnd = "\r\n";
            }
        }
        m_lines.emplace_back(line);
        m_ends.push_back(std::move(lineEnd));
        start = end + 1;
    }
}

std::string ProfileFile::Text() const
{
    std::string text;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        text += m_lines[i];
        text += m_ends[i];
    }
    return text;
}

bool ProfileFile::Save(const QString& path) const
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const std::string text = Text();
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<ProfileFile::Located> ProfileFile::Find(std::string_view section, std::string_view key) const
{
    std::optional<Located> found;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const std::string_view line = i == 0 ? WithoutBom(m_lines[i]) : std::string_view(m_lines[i]);
        const auto name = SectionOf(line);
        if (found) {
            if (name) {
                break;  // the first matching section is the one; its end is the next header
            }
            found->sectionEnd = i + 1;
            if (!found->keyLine) {
                const auto lineKey = KeyOf(line);
                if (lineKey && SameName(*lineKey, key)) {
                    found->keyLine = i;
                }
            }
        } else if (name && SameName(*name, section)) {
            found = Located{i, i + 1, std::nullopt};
        }
    }
    return found;
}

std::optional<std::string> ProfileFile::Value(std::string_view section, std::string_view key) const
{
    const auto found = Find(section, key);
    if (!found || !found->keyLine) {
        return std::nullopt;
    }
    return std::string(ValueOf(m_lines[*found->keyLine]));
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                   std::size_t maxChars) const
{
    const auto value = Value(section, key);
    std::string text = value ? *value : std::string(defaultValue);
    if (text.size() > maxChars) {
        text.resize(maxChars);
    }
    return text;
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const
{
    // The platform reads integers through a small string buffer; an empty value counts as missing.
    const std::string text = GetString(section, key, "", 29);
    if (text.empty()) {
        return defaultValue;
    }
    return ParseInt(text);
}

int ProfileFile::ParseInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<int>(value);
}

bool ProfileFile::SetString(std::string_view section, std::string_view key, std::string_view value)
{
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos || key.front() == ';' ||
        key.front() == '[') {
        return false;
    }
    const std::size_t cut = value.find_first_of("\r\n");
    if (cut != std::string_view::npos) {
        value = value.substr(0, cut);
    }
    // Reading drops the blanks around a value and one pair of enclosing quotes; a value that
    // would lose some of its own that way is written inside quotes, so it reads back as itself.
    std::string stored(value);
    if (!value.empty() &&
        (IsBlank(value.front()) || IsBlank(value.back()) ||
         (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()))) {
        stored = "\"" + stored + "\"";
    }

    const auto found = Find(section, key);
    if (found && found->keyLine) {
        // Keep the key as the file spells it; only the value changes.
        std::string& line = m_lines[*found->keyLine];
        const std::string_view lineKey = *KeyOf(*found->keyLine == 0 ? WithoutBom(line) : std::string_view(line));
        const std::size_t keyStart = static_cast<std::size_t>(lineKey.data() - line.data());
        line = line.substr(0, keyStart) + std::string(lineKey) + "=" + stored;
        return true;
    }
    std::string entry = std::string(key) + "=" + stored;
    if (found) {
        // After the section's last non-blank line, so blank lines between sections stay between them.
        std::size_t at = found->sectionEnd;
        while (at > found->sectionLine + 1 && Trim(m_lines[at - 1]).empty()) {
            --at;
        }
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
        m_ends.insert(m_ends.begin() + static_cast<std::ptrdiff_t>(at), m_lineEnd);
        return true;
    }
    m_lines.push_back("[" + std::string(section) + "]");
    m_lines.push_back(std::move(entry));
    m_ends.insert(m_ends.end(), 2, m_lineEnd);
    return true;
}

}  // namespace shakemeter
