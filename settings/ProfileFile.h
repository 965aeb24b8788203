#pragma once
// A settings file in the classic INI profile format, read and changed the way the platform's
// profile functions do it: section and key names match without regard to ASCII letter case, the
// first matching section and key win, names with blanks are kept as they are, a missing file,
// section or key gives the caller's default. Changing a key rewrites its value in place, or
// appends the key at the end of its section, or a new section at the end of the file; every
// other line (comments, unknown sections, blank lines) is kept byte for byte.
// The object holds the file's lines in memory; Load and Save are the only file accesses.

#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shakemeter {

class ProfileFile {
public:
    // Larger files are not taken for settings files: they are neither read nor overwritten.
    static constexpr qint64 MAX_FILE_BYTES = 1024 * 1024;
    // Strings are read into a buffer of 260 characters, so at most 259 of them arrive.
    static constexpr std::size_t MAX_STRING_CHARS = 259;

    // Replaces the content with the file's lines. A missing file gives an empty profile and
    // true; a file that exists but cannot be read (or is too large) gives an empty profile and
    // false.
    bool Load(const QString& path);
    // Replaces the content with the lines of a file's bytes, as Load does after reading them.
    void LoadText(std::string_view text);
    // Writes the lines to path atomically (the old file stays whole if writing fails),
    // creating the folder when needed.
    bool Save(const QString& path) const;

    // The value of a key: text after the first '=', blanks around it removed and one pair of
    // enclosing quotes taken off. nullopt when the section or key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    // Value cut to maxChars, or defaultValue when missing.
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                          std::size_t maxChars = MAX_STRING_CHARS) const;
    // Integer value by ParseInt, or defaultValue when the key is missing or its value empty.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    // Sets key=value. Names that would not read back as the same section and key (empty, with
    // a line break, '=' in a key, ']' in a section) are refused; a value is cut at its first
    // line break so it can never add lines of its own, and put in quotes when it has blanks at
    // either end or enclosing quotes of its own, so that Value gives it back unchanged.
    bool SetString(std::string_view section, std::string_view key, std::string_view value);

    // The file's text as Save would write it.
    std::string Text() const;

    // Profile integer conversion: leading blanks skipped, optional sign, decimal digits up to
    // the first other character (wrapping like the platform's 32-bit conversion); text that does
    // not begin with a number gives 0.
    static int ParseInt(std::string_view text);

private:
    struct Located {
        std::size_t sectionLine = 0;
        std::size_t sectionEnd = 0;  // one past the section's last line
        std::optional<std::size_t> keyLine;
    };
    std::optional<Located> Find(std::string_view section, std::string_view key) const;

    std::vector<std::string> m_lines;
    std::vector<std::string> m_ends;  // each line's own ending
    std::string m_lineEnd = "\n";     // the ending of lines added
};

}  // namespace shakemeter
