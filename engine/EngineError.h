#pragma once

// What went wrong, as a value the front end turns into its own message: the
// wizard tells it in Czech from the code and the file, the batch tool shows
// the text, one English line.

#include <string>

enum class EngineErrorCode {
    InvalidCanvas,      // A side of 0 or below, or a size the 32-bit arithmetic cannot hold.
    OutOfMemory,        // A buffer or picture could not be allocated.
    PictureUnreadable,  // The file could not be opened or read in full.
    PictureUnsupported, // Not a picture in a format the loader knows.
    PictureDamaged,     // A known format, but the file is damaged or cut short.
    PictureTooLarge,    // The decoded picture would exceed the engine's size limit.
    ScaleFailed,        // The picture could not be stretched to the canvas.
    WriteFailed,        // The output file could not be written; any old file is intact.
    OutputIsSource,     // The output names one of the source pictures; nothing was written.
    OutputFormatUnwritable, // The output's name asks for a picture format that is not written.
    EncodeFailed,       // The codec refuses the format or could not compress a frame.
    Cancelled,          // The user stopped the work or cancelled a choice; nothing was written.
    BadArgument,        // A command-line argument that cannot be taken as given.
};

struct EngineError {
    EngineErrorCode m_nCode;
    std::string m_strMessage;
    std::string m_strPath = {};   // the file the error is about, where there is one
};
