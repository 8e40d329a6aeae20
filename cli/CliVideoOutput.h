#pragma once

// The video file of a command: the writer of the output name's container,
// opened as the wizard's render opens it, with the codec chosen by the
// command's flags instead of the dialog, and the lines that report how the
// file fared.

#include <memory>
#include <span>
#include <string>

// Local
#include "cli/CliReport.h"
#include "cli/CliVideoSettings.h"
#include "engine/Canvas.h"
#include "engine/FramePipeline.h"
#include "video/IVideoWriter.h"

class CliVideoOutput {
public:
    explicit CliVideoOutput(const CliVideoSettings& settings) : m_settings(settings) {}

    CliVideoOutput(const CliVideoOutput&) = delete;
    CliVideoOutput& operator=(const CliVideoOutput&) = delete;

    // Opens strPath (an AVI name gains ".avi" unless it contains "avi") for
    // frames of the canvas. Fails with the line saying why the file cannot be
    // written; a name that leads to one of the sources is refused before
    // anything is written.
    EngineResult<void> Open(const Canvas& canvas, const std::string& strPath, std::span<const std::string> sources);

    // Ends without a file; an existing file of the name is kept.
    void Abandon() { m_pWriter.reset(); }

    // Ends a run of the frame pipeline: a complete one moves the file into
    // place; one that did not complete, or a file that cannot be completed,
    // leaves no file (an existing one is kept) and is reported: the stop that
    // was asked for, or the failure of the writer or of the compressor.
    // Gives the exit status.
    int Finish(const FramePipeline::Result& result, const CliReport& report);

    IVideoWriter& Writer() { return *m_pWriter; }

private:
    CliVideoSettings m_settings;
    std::string m_strName;
    std::unique_ptr<IVideoWriter> m_pWriter;
};
