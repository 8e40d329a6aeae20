#pragma once

// What the decoders say while a picture decodes on this thread, caught where
// each decoder lets it be caught: Qt's image readers (libjpeg's words among
// them) through Qt's message handler, libtiff under Qt's TIFF reader through
// its own error and warning handlers. The process's standard error stream is
// never touched: messages from other threads, and from this one outside a
// decode, go wherever they went before. The handlers are installed once, by
// the first decode, and pass on whatever they do not catch.

#include <string>

class GfxDecoderMessages {
public:
    // Catches this thread's decoder messages until destroyed.
    GfxDecoderMessages();
    ~GfxDecoderMessages();

    GfxDecoderMessages(const GfxDecoderMessages&) = delete;
    GfxDecoderMessages& operator=(const GfxDecoderMessages&) = delete;

    // The last message caught, which is the one that stopped a failed
    // decode; empty when there was none.
    const std::string& Last() const noexcept { return m_strLast; }

    // Records a message of this thread's decode; false when no decode on
    // this thread is catching messages.
    static bool Catch(const std::string& strMessage);

private:
    GfxDecoderMessages* m_pOuter;
    std::string m_strLast;
};
