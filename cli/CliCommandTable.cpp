#include "cli/CliCommandTable.h"

#include <algorithm>
#include <array>
#include <limits>

// Local
#include "cli/AnimCommand.h"
#include "cli/CliCanvasOptions.h"
#include "cli/CliVideoSettings.h"
#include "cli/SlideshowCommand.h"
#include "cli/StillCommand.h"

namespace {

// A default that is a value the option takes is read as if it were given;
// one in words ("one per core") is the command's to apply.
constexpr CliOption kRatio{.m_pszName = "ratio", .m_pszValue = "P", .m_pszWhat = "the share of SECOND in percent",
                           .m_nMin = 0, .m_nMax = 100, .m_nDefault = 50};
constexpr CliOption kSize{
    .m_pszName = "size", .m_pszValue = "WxH", .m_pszWhat = "the canvas in pixels",
    .m_pszValues = "W and H are whole numbers from 1 to 1000000",
    .m_pszDefault = "the mean size of the pictures",
    .m_pszMore = "Each side is rounded down to a multiple of 4, with a line on stderr saying what size is used, "
                 "and must come to at least 4."};
constexpr const char* kFits = "stretch fills it whatever the picture's shape; contain shows the whole picture at "
                              "its own aspect, centred, with bars; cover fills it at the picture's aspect, cropping "
                              "what overflows evenly on both sides";
constexpr CliOption kFitStretch{.m_pszName = "fit", .m_pszValue = "FIT", .m_pszWhat = "how each picture meets the canvas",
                                .m_pszValues = kFits, .m_pszDefault = "stretch", .m_words = FitNames};
// Photos of mixed shapes keep theirs in a slideshow unless asked otherwise.
constexpr CliOption kFitContain{.m_pszName = "fit", .m_pszValue = "FIT", .m_pszWhat = "how each picture meets the canvas",
                                .m_pszValues = kFits, .m_pszDefault = "contain", .m_words = FitNames};
constexpr CliOption kBackground{.m_pszName = "background", .m_pszValue = "RRGGBB", .m_pszWhat = "the colour of the bars",
                                .m_pszValues = "six hexadecimal digits; 000000 is black", .m_pszDefault = "000000"};
constexpr CliOption kQuiet{.m_pszName = "quiet", .m_pszValue = nullptr,
                           .m_pszWhat = "no progress bar and no line on the size used"};
constexpr CliOption kHelp{.m_pszName = "help", .m_pszValue = nullptr, .m_pszWhat = "this help"};
constexpr CliOption kFrames{.m_pszName = "frames", .m_pszValue = "N", .m_pszWhat = "the number of frames",
                            .m_nMin = 1, .m_nMax = 1000000, .m_nDefault = 100};
// A decimal is read as the rate tools show with those digits: players,
// editors and ffprobe show 30000/1001 as 29.97, so a rate typed as it is
// seen gives the file it was seen in; a decimal no such rate rounds to is
// exact.
constexpr CliOption kFps{
    .m_pszName = "fps", .m_pszValue = "F", .m_pszWhat = "frames per second",
    .m_pszValues = "a whole number (25), a fraction of two whole numbers (30000/1001) or a decimal with up to "
                   "three places (12.5), from 1 to 1000000. A decimal that N×1000/1001 rounds to, for a whole N, is "
                   "that fraction, as players and editors show NTSC rates with those digits: 23.976 and 23.98 are "
                   "24000/1001, 29.97 is 30000/1001, 59.94 is 60000/1001. Any other decimal is its exact value (12.5 "
                   "is 25/2)",
    .m_pszDefault = "25",
    .m_pszMore = "The file keeps the rate as this fraction (the AVI rate and scale, the MP4 time base), and "
                 "seconds become frames at it."};
constexpr CliOption kCodec{
    .m_pszName = "codec", .m_pszValue = "C", .m_pszWhat = "the compressor",
    .m_pszValues = "mjpeg (Motion JPEG) or h264 (H.264), lossy at --quality; ffv1, lossless: its frames decode to "
                   "the blended pixels byte for byte; or raw, frames kept uncompressed. An MP4 OUTPUT takes h264 only",
    .m_pszDefault = "mjpeg, or h264 for an MP4 OUTPUT", .m_words = CodecNames};
constexpr CliOption kQuality{.m_pszName = "quality", .m_pszValue = "Q", .m_pszWhat = "the quality of mjpeg and h264",
                             .m_nMin = 1, .m_nMax = 100, .m_nDefault = 90};
constexpr CliOption kThreads{
    .m_pszName = "threads", .m_pszValue = "T",
    .m_pszWhat = "the threads that make the frames", .m_nMin = 1, .m_nMax = 256, .m_pszDefault = "one per core",
    .m_pszMore = "The file is the same for any number, and at most T + 2 frames are held in memory."};
constexpr CliOption kHold{.m_pszName = "hold", .m_pszValue = "S", .m_pszWhat = "the seconds each picture is shown",
                          .m_pszValues = "a number from 0 to 1000000 with up to six decimals, rounded to whole "
                                         "frames at --fps, halves up",
                          .m_pszDefault = "2"};
constexpr CliOption kFade{.m_pszName = "fade", .m_pszValue = "S",
                          .m_pszWhat = "the seconds each picture takes to dissolve into the next",
                          .m_pszValues = "as for --hold, and at least 2 frames", .m_pszDefault = "1"};

constexpr std::array kStillOptions{kRatio, kSize, kFitStretch, kBackground, kQuiet, kHelp};
constexpr std::array kAnimOptions{kFrames, kFps, kSize, kFitStretch, kBackground, kCodec, kQuality, kThreads, kQuiet, kHelp};
constexpr std::array kSlideshowOptions{kHold,    kFade,    kFps,     kSize,  kFitContain, kBackground,
                                       kCodec,   kQuality, kThreads, kQuiet, kHelp};

// What anim and slideshow make of OUTPUT; a macro, so that slideshow's text
// can go on from it at compile time.
#define PLAVEX_VIDEO_OUTPUT                                                                                          \
    "An OUTPUT ending in .mp4, in any case, is an MP4 file with H.264 that phones and browsers play: the index "      \
    "before the frames, the parameter sets in the header, the frame rate as its time base, no B-frames. Any other "   \
    "OUTPUT is an AVI file, and \".avi\" is added to a name that does not contain \"avi\", as the wizard does."

constexpr std::array kCommands{
    CliCommand{"still", "FIRST SECOND OUTPUT", 3, 3, "FIRST, SECOND and OUTPUT",
               "mix two pictures into one still picture",
               "Mixes FIRST and SECOND into one picture that holds --ratio percent of SECOND, as the wizard's still "
               "does.",
               "OUTPUT's extension, in any case, picks the format: .png; .jpg or .jpeg (quality 95, full colour "
               "4:4:4); .webp (lossless); .tif or .tiff (PNG and TIFF at 72 dots per inch); .bmp and any other name "
               "give a 24-bit BMP. The wizard writes its still by the same rule. A name ending in .gif, .heic, .heif "
               "or .avif, formats that are read but not written, is refused before any work.",
               "plavex-cli still day.jpg night.jpg dusk.png --ratio 30", kStillOptions, RunStillCommand},
    CliCommand{"anim", "FIRST SECOND OUTPUT", 3, 3, "FIRST, SECOND and OUTPUT",
               "dissolve one picture into another, as a video",
               "Makes --frames frames that dissolve FIRST into SECOND: the first frame shows FIRST, the last "
               "SECOND, and those between mix them in equal steps.",
               PLAVEX_VIDEO_OUTPUT, "plavex-cli anim day.jpg night.jpg dusk.mp4 --fps 29.97 --size 1920x1080",
               kAnimOptions, RunAnimCommand},
    CliCommand{"slideshow", "PICTURE... OUTPUT", 3, std::numeric_limits<std::size_t>::max(),
               "two or more PICTUREs and OUTPUT", "show pictures in turn, each dissolving into the next, as a video",
               "Shows two or more PICTUREs in the order given, each held for --hold seconds and dissolved into the "
               "next over --fade seconds. A fade frame has the weight of the same frame of anim, so two pictures "
               "with --hold 0 give anim's file byte for byte.\n"
               "Each picture is loaded when its turn comes and at most two are held, so a thousand photos take no "
               "more memory than three; a picture that cannot be loaded stops the run with its name and why.",
               PLAVEX_VIDEO_OUTPUT " In an MP4 file each hold is one sample lasting the whole hold, so the duration "
                                   "is exact.",
               "plavex-cli slideshow *.jpg holiday.mp4 --hold 3 --fade 1.5", kSlideshowOptions,
               RunSlideshowCommand},
};
#undef PLAVEX_VIDEO_OUTPUT

constexpr std::array kExitStatuses{
    CliExitStatus{"0", "done"},
    CliExitStatus{"1", "a picture, the size or the output failed; one line on stderr says why"},
    CliExitStatus{"2", "a usage error: an unknown command or option, a missing name or a value out of its bounds; "
                       "stderr says which"},
    CliExitStatus{"128+N", "stopped by signal N (130 for Ctrl+C, 143 for SIGTERM); the unfinished file was removed"},
};

} // namespace

std::string CliOption::Values() const
{
    if (m_pszValues)
        return m_pszValues;
    return "a whole number from " + std::to_string(m_nMin) + " to " + std::to_string(m_nMax);
}

std::string CliOption::Default() const
{
    if (m_pszDefault)
        return m_pszDefault;
    return IsFlag() ? "" : std::to_string(m_nDefault);
}

std::span<const CliCommand> CliCommands()
{
    return kCommands;
}

const CliCommand* FindCliCommand(std::string_view strName)
{
    const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                                 [strName](const CliCommand& command) { return command.m_pszName == strName; });
    return it == kCommands.end() ? nullptr : &*it;
}

const char* CliAbout()
{
    return "Plavex mixes two pictures into one still picture, or dissolves one picture into another, or a series "
           "of pictures one into the next, as a video. plavex-cli makes these files from the command line with "
           "the engine of the Plavex wizard.\n"
           "Pictures may be GIF, JPEG, BMP, PNG, WebP, TIFF, HEIC, HEIF or AVIF, told by their content rather than "
           "their names. Each is turned upright by its orientation, converted to sRGB from its colour profile and "
           "laid over white where it is transparent.\n"
           "OUTPUT is written to a temporary file beside it and renamed over it only when complete, so a failure "
           "never leaves a partial file or harms an existing one. An existing OUTPUT is replaced, except one of "
           "the pictures (also through a link), which is refused.\n"
           "On a terminal a progress bar on stderr shows the work done and the time left. Ctrl+C stops cleanly "
           "and removes the unfinished file. \"--\" ends the options, so the names after it may start with a dash.";
}

std::span<const CliExitStatus> CliExitStatuses()
{
    return kExitStatuses;
}
