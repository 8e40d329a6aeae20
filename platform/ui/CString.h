#pragma once

// A byte string owned by value, the string type of page values and paths.
// Its bytes are UTF-8 text; nothing in it depends on Qt, so layers without
// widgets may use it too.

#include <compare>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* psz);                 // null is the empty string
    CString(std::string_view text);
    CString(std::string text) noexcept;

    int GetLength() const;                    // in bytes
    bool IsEmpty() const;
    void Empty();

    const char* GetString() const;
    operator const char*() const;             // never null
    const std::string& str() const;           // the bytes as a standard string

    // printf-style formatting; replaces the contents.
    void Format(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

    CString& operator=(const char* psz);
    CString& operator+=(std::string_view text);

    friend bool operator==(const CString& a, const CString& b) = default;
    friend std::strong_ordering operator<=>(const CString& a, const CString& b) = default;
    friend bool operator==(const CString& a, const char* b) { return a.m_str == std::string_view(b ? b : ""); }
    friend CString operator+(CString a, std::string_view b) { return a += b; }

private:
    std::string m_str;
};
