#pragma once

// The AVI file of a command: the writer set up as the wizard's render sets it
// up, with the compressor chosen by the command's flags instead of the
// dialog, and the lines that report how the file fared.

#include <span>
#include <string>

// Local
#include "cli/CliReport.h"
#include "cli/CliVideoSettings.h"
#include "engine/Canvas.h"
#include "engine/FramePipeline.h"
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "video/CAviWriter.h"

class CliAviOutput {
public:
    explicit CliAviOutput(const CliVideoSettings& settings);

    CliAviOutput(const CliAviOutput&) = delete;
    CliAviOutput& operator=(const CliAviOutput&) = delete;

    // Opens strPath (".avi" appended unless it contains "avi") for frames of
    // the canvas at the settings' rate. Gives an empty text, or the line
    // saying why the file cannot be written; a name that leads to one of the
    // sources is refused before anything is written.
    std::string Open(const Canvas& canvas, const std::string& strPath, std::span<const std::string> sources);

    // Ends without a file; an existing file of the name is kept.
    void Abandon();

    // Ends a run of the frame pipeline: a complete one moves the file into
    // place; one that did not complete, or a file that cannot be completed,
    // leaves no file (an existing one is kept) and is reported: the stop that
    // was asked for, or the failure of the writer or of the compressor.
    // Gives the exit status.
    int Finish(const FramePipeline::Result& result, const CliReport& report);

    // The name written to, ".avi" included.
    const std::string& FileName() const { return m_writer.m_strFileName; }

    CAviWriter& Writer() { return m_writer; }

private:
    CFixedCompressionChooser m_chooser;
    CCompressionChooserGuard m_guard;
    CAviWriter m_writer;
    int m_nFps;
};
