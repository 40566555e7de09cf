#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Writes an XML data file of a task straight to its file bytes: the
// declaration "GB2312", then the elements in GBK without whitespace between
// them. Characters GBK lacks become character references, so the bytes stay
// plain GBK and read back unchanged. Text is UTF-8 in memory.
class CXmlWriter
{
public:
    CXmlWriter();
    // A writer of elements that go into another writer's document through
    // Raw(): no declaration.
    static CXmlWriter Fragment();

    void Reserve(std::size_t bytes) { m_out.reserve(bytes); }
    // Hands the bytes written so far to sink whenever they reach piece
    // bytes (at the end of an element), instead of keeping them all.
    void SetSink(std::function<bool(std::string_view)> sink, std::size_t piece);
    // Hands the rest to the sink; false when the sink refused any piece.
    bool Finish();

    // Opens an element; attributes follow until content or End().
    void Start(const char* name);
    void Attribute(const char* name, const std::string& value);
    void Attribute(const char* name, long long value);
    void Text(const std::string& value);
    // Bytes a fragment writer made, as content of the open element.
    void Raw(std::string_view bytes);
    // Closes the innermost open element ("<a/>" when it has no content).
    void End();

    // The bytes written so far; every element must be closed.
    const std::string& Bytes() const { return m_out; }
    // The bytes, moved out: the writer is empty afterwards.
    std::string TakeBytes() { return std::move(m_out); }

private:
    void CloseStartTag();
    // Hands the bytes so far to the sink, if there is one.
    void HandOver();
    void AppendEscaped(const std::string& value, bool attribute);

    std::string m_out;
    std::vector<const char*> m_open;
    bool m_startTagOpen = false;
    std::function<bool(std::string_view)> m_sink;
    std::size_t m_piece = 0;
    bool m_sinkFailed = false;
};
