#!/usr/bin/env python3
"""Plants one fault at a time in a copy of the product and runs the tests that
could catch it; prints each fault with CAUGHT or MISSED and the count.

A fault is a one-place edit (arithmetic, header bytes, texts, navigation,
file safety, exit codes). The copy lives in PLANT_DIR (default
/work/mutants/src) with its own build folder, so the worktree is never touched.

Usage: scripts/plant_faults.py [NAME_SUBSTRING...]
With PLANT_SKIP=prog1,prog2 those test programs are not run (say, one being rewritten).
"""
import filecmp, os, shutil, subprocess, sys, time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.environ.get("PLANT_DIR", "/work/mutants/src")
BUILD = os.path.join(WORK, "build")

ENGINE, VIDEO, E2E, FRAME, PAGES, UI, CLI = ("engine_tests", "video_files_test", "test_e2e_wizard", "test_app_frame",
                                             "test_pages", "test_platform_ui", "cli_tests")
FFV1 = "ffv1_encoder_test"
# A fuzz target's replay runs over its generated seed corpus, as CTest runs it.
FUZZ_CANVAS = "fuzz_canvas_replay"

# name, file, text to replace (must occur once), replacement, test programs
FAULTS = [
    ("still weight p/100", "engine/Blend.cpp", "static_cast<double>(p) * 0.01", "static_cast<double>(p) / 100.0", [ENGINE, CLI]),
    ("frame step 1/N", "engine/Blend.cpp", "1.0 / static_cast<double>(nFrameCount - 1)", "1.0 / static_cast<double>(nFrameCount)", [ENGINE, CLI]),
    ("channel rounds", "engine/Blend.h", "const double v = t + static_cast<double>(a);", "const double v = t + static_cast<double>(a) + 0.5;", [ENGINE, CLI]),
    ("frame weight off by one", "engine/Blend.cpp", "return static_cast<double>(k) * dStep;", "return static_cast<double>(k + 1) * dStep;", [ENGINE, CLI]),
    ("mean rounds up", "engine/Canvas.cpp", "nRawWidth = nSumWidth / nCount;", "nRawWidth = (nSumWidth + nCount - 1) / nCount;", [ENGINE, CLI, FUZZ_CANVAS]),
    ("no rounding to four", "engine/Canvas.cpp", "const std::int64_t nH = (nRawHeight / 4) * 4;", "const std::int64_t nH = nRawHeight;", [ENGINE, CLI, FUZZ_CANVAS]),
    ("negative side accepted", "engine/Canvas.cpp", "if (nRawWidth < 0 || nRawHeight < 0)", "if (nRawWidth < 0 && nRawHeight < 0)", [ENGINE, CLI, FUZZ_CANVAS]),
    ("BMP magic", "engine/BmpWriter.cpp", "header[0] = 'B';", "header[0] = 'b';", [ENGINE, CLI]),
    ("BMP planes", "engine/BmpWriter.cpp", "PutLe16(infoBytes + 12, info.biPlanes);", "PutLe16(infoBytes + 12, 0);", [ENGINE, CLI]),
    ("AVI without AVIF_HASINDEX", "video/CAviWriter.cpp", "w.U32(AVIF_HASINDEX | AVIF_ISINTERLEAVED);", "w.U32(AVIF_ISINTERLEAVED);", [VIDEO]),
    ("AVI frame time", "video/CAviWriter.cpp", "std::uint64_t{1000000} * nScale / nRate", "std::uint64_t{1000000} / nRate", [VIDEO]),
    ("AVI scale of 1", "video/CAviWriter.cpp", "    w.U32(nScale);\n    w.U32(nRate);", "    w.U32(1);\n    w.U32(nRate);", [VIDEO, CLI]),
    ("MP4 frames timed in whole seconds' parts", "video/CMp4Writer.cpp", "AVRational{m_format.m_nScale, m_format.m_nRate}, pStream->time_base", "AVRational{1, m_format.m_nRate}, pStream->time_base", [VIDEO]),
    ("AVI key frames unflagged", "video/CAviWriter.cpp", "w.U32(e.bKey ? AVIIF_KEYFRAME : 0);", "w.U32(0);", [VIDEO]),
    ("AVI extension case-blind", "video/CAviWriter.cpp", 'if (strName.find("avi") == std::string::npos)', 'if (strName.find("avi") == std::string::npos && strName.find("AVI") == std::string::npos)', [VIDEO, CLI]),
    ("AVI disk error text", "video/CAviWriter.cpp", "A disk error occurred while opening the file.", "A disk error occurred opening the file.", [VIDEO, CLI, E2E]),
    ("Motion JPEG top-down", "video/CMjpegEncoder.cpp", "TJFLAG_BOTTOMUP | TJFLAG_NOREALLOC", "TJFLAG_NOREALLOC", [VIDEO]),
    ("still not saved text", "app/CWizardDlg.cpp", 'kStillNotSaved = QStringLiteral("Soubor se nepodařilo uložit!")', 'kStillNotSaved = QStringLiteral("Soubor nebyl uložen!")', [E2E]),
    ("quit question without its icon", "app/CWizardDlg.cpp", "kCaption, QMessageBox::Question,", "kCaption, QMessageBox::NoIcon,", [FRAME, E2E]),
    ("no pictures stays", "app/CWizardDlg.cpp", "            ShowMessage(this, kNoPictures);\n            return;", "            ShowMessage(this, kNoPictures);", [FRAME]),
    ("still road to animation", "app/CWizardDlg.cpp", "m_pageSource.m_nMode == 0 ? Page::AnimSettings : Page::StillSettings", "Page::AnimSettings", [FRAME, E2E]),
    ("prev from still to welcome", "app/CWizardDlg.cpp", "    case Page::AnimSettings:\n    case Page::StillSettings: return Page::Source;", "    case Page::AnimSettings: return Page::Source;\n    case Page::StillSettings: return Page::Welcome;", [FRAME, E2E]),
    ("prev left enabled on welcome", "app/CWizardDlg.cpp", "Item(IDC_PREV)->setEnabled(PrevPage() != page);", "Item(IDC_PREV)->setEnabled(PrevPage() != page || page == Page::Welcome);", [FRAME, E2E]),
    ("wizard still ratio reversed", "app/CWizardRender.cpp", "StillWeight(job.m_nRatio)", "StillWeight(100 - job.m_nRatio)", [E2E]),
    ("result not opened", "app/CWizardDlg.cpp", "        IShell::Current().Open(m_strResultPath);", "", [E2E]),
    ("ratio label swapped", "pages/CStillSettingsPage.cpp", ".arg(100 - nPos).arg(nPos)", ".arg(nPos).arg(100 - nPos)", [PAGES, E2E]),
    ("frame count may be 0", "pages/CAnimSettingsPage.cpp", "dx.Number(m_pFrameCount, m_nFrameCount, 1, kLargest);", "dx.Number(m_pFrameCount, m_nFrameCount, 0, kLargest);", [PAGES, FRAME]),
    ("default ratio 49", "cli/CliCommandTable.cpp", ".m_nMax = 100, .m_nDefault = 50}", ".m_nMax = 100, .m_nDefault = 49}", [CLI]),
    ("default rate 30", "cli/CliCommandTable.cpp", '.m_pszDefault = "25",', '.m_pszDefault = "30",', [CLI]),
    ("NTSC decimal read as typed", "cli/CliArgs.cpp", "        if (nA % nScale != 0)\n", "        if (false)\n", [CLI]),
    ("size rounded in silence", "cli/CliCanvasOptions.cpp", "if (canvas && options.m_nSizeMode == kSizeModeCustom &&", "if (false &&", [CLI]),
    ("quiet notes anyway", "cli/CliReport.cpp", "    if (!m_bQuiet)\n        m_err", "    if (true)\n        m_err", [CLI]),
    ("usage exits 1", "cli/CliArgs.h", "inline constexpr int kExitUsage = 2;", "inline constexpr int kExitUsage = 1;", [CLI]),
    ("failure exits 0", "cli/CliArgs.h", "inline constexpr int kExitFailure = 1;", "inline constexpr int kExitFailure = 0;", [CLI]),
    ("progress percent", "cli/CliProgressBar.cpp", "static_cast<int>(nDone * 100 / m_nTotal)", "static_cast<int>((nDone * 100 + m_nTotal - 1) / m_nTotal)", [CLI]),
    ("temporary file kept", "platform/file/CPendingFile.cpp", "    if (!m_strTemp.empty()) {\n        ::unlink(m_strTemp.c_str());", "    if (!m_strTemp.empty()) {", [ENGINE, VIDEO, CLI, E2E]),
    ("permissions not kept", "platform/file/CPendingFile.cpp", "::fchmod(fd, st.st_mode & 07777);", ";", [VIDEO, E2E]),
    ("device replaced", "platform/file/CPendingFile.cpp", "if (!S_ISREG(st.st_mode))", "if (false)", [CLI]),
    ("write error swallowed", "platform/file/CPendingFile.cpp", "            return errno;\n        }\n        if (n == 0)", "            return 0;\n        }\n        if (n == 0)", [ENGINE, VIDEO, CLI, E2E]),
    ("no picture size limit", "engine/PictureLoader.cpp", "options.m_nMaxPixels = kMaxPicturePixels;", "options.m_nMaxPixels = kMaxPicturePixels * 1024;", [ENGINE, CLI, E2E]),
    ("orientation 6 turned the wrong way", "platform/gfx/GfxMetadata.cpp", "upright = upright.transformed(QTransform().rotate(90));", "upright = upright.transformed(QTransform().rotate(270));", [CLI]),
    ("orientation 8 left as stored", "platform/gfx/GfxMetadata.cpp", "    if (nOrientation == 8)\n        upright = upright.transformed(QTransform().rotate(270));\n    else if", "    if", [CLI]),
    ("damaged picture text", "pages/LoadFailureText.cpp", '"Obrázek je poškozený."', '"Obrázek je vadný."', [E2E]),
    ("canvas of no pixels accepted", "engine/Canvas.cpp", "    if (nW == 0 || nH == 0)\n", "    if (nW < 0 && nH < 0)\n", [ENGINE, CLI, E2E, FUZZ_CANVAS]),
    ("hard link not the same file", "engine/SameFile.cpp", "return first.st_dev == second.st_dev && first.st_ino == second.st_ino;", "return false;", [ENGINE, E2E]),
    ("super index always written", "video/CAviWriter.cpp", 'w.U32(bOpenDml ? MakeFourcc("indx") : kJunk);', 'w.U32(MakeFourcc("indx"));', [VIDEO]),
    ("slideshow halves rounded down", "cli/SlideshowCommand.cpp", "rate.m_nRate * 2 + nPerFrame)", "rate.m_nRate * 2 + nPerFrame - 1)", [CLI]),
    ("preview size text", "pages/CPreviewWnd.cpp", 'QStringLiteral("%1 × %2 pixelů")', 'QStringLiteral("%1 x %2 pixelů")', [PAGES]),
    ("trailing letters read", "platform/ui/CDataExchange.cpp", "pEnd != text.data() + text.size()", "pEnd == text.data()", [UI]),
    ("not-a-number text", "platform/ui/CDataExchange.cpp", '"Zadejte celé číslo."', '"Zadejte číslo."', [UI, PAGES, FRAME]),
    # A wider set: faults of the same kinds in the layers the lists above touch less.
    ("dialog units round down", "platform/ui/DialogUnits.cpp", "n >= 0 ? (n + c / 2) / c", "n >= 0 ? n / c", [UI, PAGES]),
    ("trailing blanks refused", "platform/ui/CDataExchange.cpp", "    while (!text.empty() && blank(text.back()))\n        text.remove_suffix(1);\n", "", [UI]),
    ("dot in a folder taken for an extension", "platform/ui/CQtFileChooser.cpp", "!strPath.section(QLatin1Char('/'), -1).contains(QLatin1Char('.'))", "!strPath.contains(QLatin1Char('.'))", [PAGES]),
    ("Escape answers yes", "platform/ui/CQtMessageBox.cpp", "box.setEscapeButton(pNo);", "box.setEscapeButton(pYes);", [UI]),
    ("slider page a quarter", "platform/ui/DialogItems.cpp", "pSlider->setPageStep(20);", "pSlider->setPageStep(25);", [PAGES]),
    ("slider range from 1", "platform/ui/DialogItems.cpp", "pSlider->setRange(0, 100);", "pSlider->setRange(1, 100);", [PAGES]),
    ("preview size sides swapped", "pages/CPreviewWnd.cpp", ".arg(canvas->Value().Width()).arg(canvas->Value().Height())", ".arg(canvas->Value().Height()).arg(canvas->Value().Width())", [PAGES]),
    ("Escape leaves the page", "platform/ui/CTemplatePage.cpp", "    if (IsDialogKey(pEvent) != DialogKey::None)", "    if (IsDialogKey(pEvent) == DialogKey::Enter)", [FRAME]),
    ("controls not grown to their text", "platform/ui/DialogItems.cpp", "    if (!text.isEmpty() && nNeeded > pControl->width())", "    if (false)", [PAGES]),
    ("focused button leaves Enter to the dialog", "platform/ui/DialogItems.cpp", "        pButton->setAutoDefault(true);", "        pButton->setAutoDefault(false);", [FRAME]),
    ("keypad Enter ignored", "platform/ui/DialogItems.cpp", "(pEvent->modifiers() == Qt::KeypadModifier && pEvent->key() == Qt::Key_Enter)", "false", [FRAME]),
    ("Tab lands on a group's first radio", "platform/ui/DialogItems.cpp", "group.checkedButton() ? group.checkedButton() : buttons.value(0)", "buttons.value(0)", [PAGES]),
    ("pause jumps to the first frame", "pages/CPreviewWnd.cpp", "nPausedFrame = std::max(nShownFrame, 0);", "nPausedFrame = 0;", [PAGES]),
    ("thumbnail stretched", "pages/CSourcePage.cpp", "Qt::KeepAspectRatio,", "Qt::IgnoreAspectRatio,", [PAGES]),
    ("quality for every compressor", "pages/CCompressionDialog.cpp", "    m_pQuality->setEnabled(bQuality);", "    m_pQuality->setEnabled(true);", [UI]),
    ("compression choice forgotten", "pages/CDialogCompressionChooser.cpp", "    pDialog->SetChoice(m_last);", "", [UI]),
    ("quality label text", "pages/CCompressionDialog.cpp", 'QStringLiteral("Kvalita:")', 'QStringLiteral("Kvalita")', [UI]),
    ("GIF composed over black", "platform/gfx/GfxDecoder.cpp", "const int nCover = 255 - qAlpha(pixel);", "const int nCover = 0;", [CLI]),
    ("pipeline write failure told as an abort", "engine/FramePipeline.cpp", "m_failure = {Outcome::WriteFailed, written.Error().m_strMessage};", "m_failure = {Outcome::Aborted, written.Error().m_strMessage};", [ENGINE]),
    ("image size limit doubled", "engine/Canvas.cpp", "if (nImageSize > kInt32Max)", "if (nImageSize > kInt32Max * 2)", [ENGINE, CLI, FUZZ_CANVAS]),
    ("suggested buffer ignores the largest chunk", "video/CAviWriter.cpp", "std::max(m_nMaxChunk, static_cast<std::uint32_t>(canvas.ImageSize()))", "static_cast<std::uint32_t>(canvas.ImageSize())", [VIDEO]),
    ("encoded frame always a key frame", "video/CAviWriter.cpp", "nSize, frame.m_bKeyFrame});", "nSize, true});", [VIDEO]),
    ("H.264 fourcc misspelt", "video/VideoCodec.cpp", 'MakeFourcc("H264")', 'MakeFourcc("X264")', [VIDEO]),
    ("FFV1 grid wider than the frame", "video/CFfv1Encoder.cpp", "nColumns = std::min(nSide, nWidth)", "nColumns = nSide", [FFV1, VIDEO]),
    ("FFV1 escape off by one", "video/CFfv1Encoder.cpp", "PutBits(12 + kSampleBits, u - 11);", "PutBits(12 + kSampleBits, u - 12);", [FFV1, VIDEO]),
    ("FFV1 run's last sample dropped", "video/CFfv1Encoder.cpp", "if (nRun != 0)\n", "if (nRun > 1)\n", [FFV1, VIDEO]),
    ("FFV1 run broken in the flat context", "video/CFfv1Encoder.cpp", "CodeResidue(m_pContext[x++], nDiff > 0 ? nDiff - 1 : nDiff);", "CodeResidue(0, nDiff > 0 ? nDiff - 1 : nDiff);\n            ++x;", [FFV1, VIDEO]),
    ("FFV1 rows kept from the slice before", "video/CFfv1Encoder.cpp", "    std::fill(slice.m_rows.begin(), slice.m_rows.end(), std::int16_t{0});\n", "", [FFV1, VIDEO]),
    ("FFV1 CRC big-endian", "video/CFfv1Encoder.cpp", "out.push_back(static_cast<std::uint8_t>(nCrc >> (8 * i)));", "out.push_back(static_cast<std::uint8_t>(nCrc >> (24 - 8 * i)));", [FFV1, VIDEO]),
    ("FFV1 header carry lost", "video/CFfv1Encoder.cpp", "m_out.push_back(static_cast<std::uint8_t>(m_nOutstandingByte + 1));", "m_out.push_back(static_cast<std::uint8_t>(m_nOutstandingByte));", [FFV1]),
    ("FFV1 Rice parameter one too large", "video/CFfv1Encoder.cpp", "k += (nCount << k) < nErrorSum;", "k += (nCount << k) <= nErrorSum;", [FFV1, VIDEO]),
    ("H.264 key interval", "video/CAvcodecEncoder.cpp", "constexpr int kH264KeyInterval = 250;", "constexpr int kH264KeyInterval = 300;", [VIDEO]),
    ("quality to rate factor", "video/CAvcodecEncoder.cpp", "(nQuality - 1) * 32.0 / 89.0", "(nQuality - 1) * 32.0 / 90.0", [VIDEO]),
    ("H.264 threads follow the machine", "video/CAvcodecEncoder.cpp", "ctx.thread_count = kH264Threads;", "ctx.thread_count = 0;", [VIDEO]),
    ("H.264 luma from blue for red", "video/CAvcodecEncoder.cpp", "(kYr * pR[x] + kYg * pG[x] + kYb * pB[x]", "(kYr * pB[x] + kYg * pG[x] + kYb * pR[x]", [VIDEO]),
    ("encoder given whole frames per second", "video/CStagedVideoWriter.cpp", "m_format.m_nRate, m_format.m_nScale, m_bGlobalHeader,", "m_format.m_nRate, 1, m_bGlobalHeader,", [VIDEO]),
    ("encoder given 25 fps", "video/CStagedVideoWriter.cpp", "m_format.m_nQuality, m_format.m_nRate, m_format.m_nScale, m_bGlobalHeader,", "m_format.m_nQuality, 25, 1, m_bGlobalHeader,", [VIDEO]),
    ("new encoder at every picture", "video/SlideshowWriter.cpp", "    if (!pKept) {", "    if (true) {", [VIDEO]),
    ("MP4 index at the end", "video/CMp4Writer.cpp", 'av_dict_set(&pOptions, "movflags", "+faststart", 0);', "", [VIDEO]),
    ("MP4 hold written frame by frame", "video/CMp4Writer.h", "bool HoldsInOneSample() const override { return true; }", "bool HoldsInOneSample() const override { return false; }", [VIDEO]),
    ("MP4 sample lasts one frame", "video/CMp4Writer.cpp", "m_pPacket->duration = nFrames;", "m_pPacket->duration = 1;", [VIDEO]),
    ("MP4 name case-sensitive", "video/VideoContainer.cpp", '::strcasecmp(strName.c_str() + strName.size() - kLength, ".mp4")', 'std::string_view(strName).substr(strName.size() - kLength).compare(".mp4")', [VIDEO, CLI]),
    ("MP4 offered every codec", "video/VideoContainer.cpp", "if (container == VideoContainer::Avi || codec.m_bGoesInMp4)", "if (true)", [UI, E2E]),
    ("batch MP4 defaults to Motion JPEG", "cli/CliVideoSettings.cpp", "        s.m_pCodec = CodecsOf(VideoContainer::Mp4).front();\n", "", [CLI]),
    ("restart keeps the rate", "pages/CAnimSettingsPage.h", "void ResetPageValues() override { static_cast<AnimValues&>(*this) = {}; }", "void ResetPageValues() override {}", [E2E]),
    ("Konec disabled on the done pages", "app/CWizardDlg.cpp", "Item(IDCANCEL)->setEnabled(!bRendering);", "Item(IDCANCEL)->setEnabled(!bRendering && !bDone);", [E2E]),
    ("last progress left unpainted", "pages/CProgressPage.cpp", "    // when it ends.\n    Paint();", "    // when it ends.\n", [E2E]),
    ("percent rounded otherwise", "pages/CProgressPage.cpp", "const int nPercent = static_cast<int>(dShare * 100.0);", "const int nPercent = nTotal > 0 ? static_cast<int>(100.0 * nDone / nTotal) : 0;", [E2E]),
    ("animation checks the typed name", "app/CWizardRender.cpp", "CheckOutputIsNotASource(strName,", "CheckOutputIsNotASource(job.m_strOutput,", [E2E]),
    ("preview left open when the page changes", "app/CWizardDlg.cpp", "    m_wndPreview.Close();\n", "", [E2E]),
    ("wizard skips the AVI name rule", "app/CWizardRender.cpp", "std::string strName = bAnimation ? VideoFileName(job.m_strOutput) : job.m_strOutput;", "std::string strName = job.m_strOutput;", [E2E]),
    ("batch still checks another name", "cli/StillCommand.cpp", "CheckOutputIsNotASource(strOutput, ", "CheckOutputIsNotASource(strOutput + \".x\", ", [CLI]),
    ("option given twice accepted", "cli/CliArgs.cpp", "if (!parsed.m_options.emplace(strName, ToBytes(parser.value(strFound))).second)", "if (!parsed.m_options.emplace(strName, ToBytes(parser.value(strFound))).second && false)", [CLI]),
    (".jpeg written as BMP", "engine/StillFile.cpp", '{"jpeg", GfxOutputFormat::Jpeg}', '{"jpeg", std::nullopt}', [CLI]),
    (".gif still written as BMP", "engine/StillFile.cpp", '{"gif", std::nullopt, false}', '{"gif", std::nullopt}', [CLI]),
    ("JPEG still at 4:2:0", "platform/gfx/GfxEncoder.cpp", "TJSAMP_444, 95", "TJSAMP_420, 95", [CLI]),
    ("contain box not centred", "engine/PictureFit.cpp", "    box.m_nX = FloorDiv(nCanvasWidth - box.m_nWidth, 2);", "    box.m_nX = 0;", [CLI]),
    ("cover fits the longer side", "engine/PictureFit.cpp", "const bool bFullWidth = bWider == (nFit == PictureFit::Contain);", "const bool bFullWidth = bWider;", [CLI]),
    ("bars left unpainted", "engine/PictureScaler.cpp", "    PaintBars(canvas, area, fit.m_nBackground, buffer);\n", "", [CLI]),
    ("bars' red and blue swapped", "engine/PictureScaler.cpp", "row[i] = static_cast<BYTE>(nColour);", "row[i] = static_cast<BYTE>(nColour >> 16);", [CLI]),
    ("slideshow stretches by default", "cli/CliCommandTable.cpp", '.m_pszValues = kFits, .m_pszDefault = "contain"', '.m_pszValues = kFits, .m_pszDefault = "stretch"', [CLI]),
    ("cut JPEG accepted", "platform/gfx/GfxDecoder.cpp", "!GfxMetadata::JpegReachesItsEnd(pData, nSize)", "false", [ENGINE, CLI]),
    ("transparent colour dropped", "platform/gfx/GfxPngDecoder.cpp", "png_get_valid(m_png, m_info, PNG_INFO_tRNS) != 0", "false", [ENGINE, CLI]),
    ("libtiff's words left on stderr", "platform/gfx/GfxDecoderMessages.cpp", "        s_pPreviousTiffError = TIFFSetErrorHandler(OnTiffError);\n", "", [CLI]),
    ("libheif's size limit taken for memory", "platform/gfx/GfxHeifDecoder.cpp", "error.subcode == heif_suberror_Security_limit_exceeded ? EngineErrorCode::PictureTooLarge", "false ? EngineErrorCode::PictureTooLarge", [ENGINE]),
    ("slideshow fade of one frame", "cli/SlideshowCommand.cpp", "nFade = std::max<std::int64_t>(nFade, 2);", "nFade = std::max<std::int64_t>(nFade, 1);", [CLI]),
    ("a link taken for another file", "engine/SameFile.cpp", "if (::stat(strFirst.c_str(), &first) == 0 && ::stat(strSecond.c_str(), &second) == 0)", "if (::lstat(strFirst.c_str(), &first) == 0 && ::lstat(strSecond.c_str(), &second) == 0)", [ENGINE, CLI, E2E]),
    ("blend exception lane dropped", "engine/BlendWeight.cpp", "form.m_thresholds[x] = static_cast<BYTE>(a);", "form.m_thresholds[x] = static_cast<BYTE>(a - 1);", [ENGINE]),
    ("AVX2 blend skips a threshold group", "engine/BlendWeight.cpp", "for (int j = 0; j < form.m_nGroups; ++j) {", "for (int j = 1; j < form.m_nGroups; ++j) {", [ENGINE]),
    ("AVX-512 blend correction dropped", "engine/BlendWeight.cpp", "_mm512_mask_sub_epi8(r, _mm512_cmplt_epu8_mask(a, threshold), r, vOne)", "_mm512_mask_sub_epi8(r, _mm512_cmplt_epu8_mask(a, threshold), r, _mm512_setzero_si512())", [ENGINE]),
    ("row blended past a short buffer", "engine/Blend.cpp", "return first.Size() >= nEnd && second.Size() >= nEnd && out.Size() >= nEnd;", "return true;", [ENGINE]),
    ("size refused text", "pages/LoadFailureText.h", '"Zadaná velikost je příliš velká nebo neplatná!"', '"Zadaná velikost je neplatná!"', [PAGES, E2E]),
    # What the wizard does under a user's hands: input during a render, stop
    # signals, early refusals, the preview's place and frame slider, the
    # automatic size, remembered folders, drops, the command line.
    ("render input let through", "app/CWizardDlg.cpp", "    const CInputBlock block(this);\n", "", [E2E]),
    ("stop signal ignored outside a render", "app/CWizardDlg.cpp", "    if (!IsRendering())\n        EndDialog(Rejected);", "", [FRAME]),
    ("stop signal lets the render finish", "app/CWizardDlg.cpp", "    m_bQuitRequested = true;\n    if (!IsRendering())", "    if (!IsRendering())", [E2E]),
    ("question left open by a stop signal", "app/CWizardDlg.cpp", "        pModal->reject();\n", "", [FRAME]),
    ("no stop signal handled", "app/CStopSignals.cpp", "        sigaction(kSignals[i], &action, nullptr);", "        ;", [FRAME, E2E]),
    ("failed thumbnail let through", "app/CWizardDlg.cpp", "pPicture && !*pPicture) {", "false && pPicture) {", [E2E]),
    ("source as output found only by the render", "app/CWizardDlg.cpp", "CWizardRender::OutputFile(job, bAnimation); !output) {", "CWizardRender::OutputFile(job, bAnimation); false && !output) {", [E2E]),
    ("second picture opened when the first fails", "app/CWizardRender.cpp", "    if (!first)\n        return first.Error();\n    auto second = LoadPictureFile(job.m_strSecond);", "    auto second = LoadPictureFile(job.m_strSecond);\n    if (!first)\n        return first.Error();", [E2E]),
    ("preview past the screen's edge", "pages/CPreviewWnd.cpp", "    nX = std::clamp(nX, available.left(), std::max(available.left(), available.right() + 1 - size.width()));\n", "", [PAGES]),
    ("preview refitted while open", "pages/CPreviewWnd.cpp", "    m_pImpl->values = values;\n    if (IsOpen())\n        m_pImpl->Refresh();", "    m_pImpl->values = values;\n    if (IsOpen())\n        m_pImpl->Place(), m_pImpl->Refresh();", [PAGES]),
    ("frame slider does not pause", "pages/CPreviewWnd.cpp", "    nPausedFrame = nFrame;\n    if (bPlaying) {", "    nPausedFrame = nFrame;\n    if (false) {", [PAGES]),
    ("automatic size not shown", "pages/CSettingsPage.cpp", "    EnableSize(false);\n    ShowAutomaticSize();", "    EnableSize(false);", [PAGES]),
    ("folder not remembered", "platform/ui/CQtFileChooser.cpp", "        settings.setValue(strKey, QFileInfo(strPath).absolutePath());", "        ;", [PAGES]),
    ("Qt chooser opens elsewhere", "platform/ui/CQtFileChooser.cpp", "            dialog.setDirectory(request.strFolder);", "            ;", [UI]),
    ("any dropped file taken", "pages/CSourcePage.cpp", " || !QDir::match(kPicturePatterns, file.fileName())", "", [PAGES]),
    ("two dropped files fill one", "pages/CSourcePage.cpp", "    if (paths.size() == 2 || m_pFirstPath->text().isEmpty())", "    if (m_pFirstPath->text().isEmpty())", [PAGES]),
    ("command line given to Qt", "app/main.cpp", "QApplication application(nQtArgc, qtArgv);", "QApplication application(argc, argv);", [E2E]),
    ("interrupted text", "cli/CliReport.cpp", "\"' was not written\\n\"", "\"' not written\\n\"", [CLI]),
    ("wizard ignores the kept shape", "app/CWizardDlg.cpp", "settings.m_nKeepAspect ? PictureFit::Contain : PictureFit::Stretch", "PictureFit::Stretch", [E2E]),
    ("preview ignores the kept shape", "pages/CPreviewWnd.cpp", "nWidth, nHeight, {values.m_nFit});", "nWidth, nHeight, {});", [PAGES]),
    ("kept shape not read from the still page", "pages/CStillSettingsPage.cpp", "    dx.Check(m_pKeepAspect, m_nKeepAspect);\n", "", [E2E]),
    ("unwritable still refused after loading", "app/CWizardRender.cpp", "CheckStillFileName(job.m_strOutput); !named)", "CheckStillFileName(job.m_strOutput); false)", [E2E]),
    ("wizard still always BMP", "engine/StillFile.cpp", "    if (!ext.m_nFormat)\n", "    if (true)\n", [E2E, CLI]),
    ("PNG resolution from the screen", "platform/gfx/GfxEncoder.cpp", "    image.setDotsPerMeterX(kDotsPerMeter);\n", "", [E2E]),
    ("chooser suffix ignores the filter picked", "platform/ui/CQtFileChooser.cpp", "nIndex >= 0)", "nIndex < 0)", [UI]),
]


def run(args, **kw):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def main(names):
    skip = set(filter(None, os.environ.get("PLANT_SKIP", "").split(",")))
    faults = [(n, p, o, r, [t for t in ts if t not in skip]) for n, p, o, r, ts in FAULTS
              if not names or any(x in n for x in names)]
    faults = [f for f in faults if f[4]]
    os.makedirs(WORK, exist_ok=True)
    # The tracked files, copied only where they differ so the copy's build stays current.
    for name in run(["git", "-C", REPO, "ls-files"], check=True).stdout.split("\n"):
        source, target = os.path.join(REPO, name), os.path.join(WORK, name)
        if name and os.path.isfile(source) and not (os.path.exists(target) and filecmp.cmp(source, target, shallow=False)):
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copyfile(source, target)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    if not os.path.exists(os.path.join(BUILD, "build.ninja")):
        # ccache, where it is installed, keeps the rebuilds after each fault short.
        # ccache, where it is installed, makes the rebuild after each fault shorter.
        launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
        run(["cmake", "-S", WORK, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release", "-DPLAVEX_BUILD_BENCH=OFF",
             *launcher], check=True)
    programs = sorted({p for f in faults for p in f[4]})
    base = run(["cmake", "--build", BUILD, "-j2", "--target", *programs, "plavex-cli"])
    if base.returncode:
        sys.exit("the unchanged copy does not build:\n" + base.stdout[-3000:])
    caught = 0
    for name, path, old, new, tests in faults:
        source = os.path.join(WORK, path)
        text = open(source, encoding="utf-8").read()
        if text.count(old) != 1:
            print(f"SKIPPED  {name}: the text to replace occurs {text.count(old)} times")
            continue
        open(source, "w", encoding="utf-8").write(text.replace(old, new))
        start = time.time()
        try:
            built = run(["cmake", "--build", BUILD, "-j2", "--target", *tests, "plavex-cli"])
            if built.returncode:
                verdict, detail = "NOBUILD", built.stdout[-300:]
            else:
                failing = []
                for t in tests:
                    exe = next((os.path.join(r, t) for r, _, fs in os.walk(BUILD) if t in fs), None)
                    corpus = os.path.join(BUILD, "fuzz", "corpus", t[len("fuzz_"):-len("_replay")])
                    args = [exe, corpus] if t.startswith("fuzz_") else [exe, "--gtest_brief=1"]
                    if run(args, env=env, cwd=BUILD, timeout=900).returncode:
                        failing.append(t)
                verdict, detail = ("CAUGHT", " ".join(failing)) if failing else ("MISSED", "")
        finally:
            open(source, "w", encoding="utf-8").write(text)
        caught += verdict == "CAUGHT"
        print(f"{verdict:8} {name} ({time.time() - start:.0f} s) {detail}", flush=True)
    print(f"caught {caught} of {len(faults)}")


if __name__ == "__main__":
    main(sys.argv[1:])
