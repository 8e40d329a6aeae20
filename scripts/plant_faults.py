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

# name, file, text to replace (must occur once), replacement, test programs
FAULTS = [
    ("still weight p/100", "engine/Blend.cpp", "static_cast<double>(p) * 0.01", "static_cast<double>(p) / 100.0", [ENGINE, CLI]),
    ("frame step 1/N", "engine/Blend.cpp", "1.0 / static_cast<double>(nFrameCount - 1)", "1.0 / static_cast<double>(nFrameCount)", [ENGINE, CLI]),
    ("channel rounds", "engine/Blend.h", "const double v = t + static_cast<double>(a);", "const double v = t + static_cast<double>(a) + 0.5;", [ENGINE, CLI]),
    ("frame weight off by one", "engine/Blend.cpp", "return static_cast<double>(k) * dStep;", "return static_cast<double>(k + 1) * dStep;", [ENGINE, CLI]),
    ("mean rounds up", "engine/Canvas.cpp", "nRawWidth = nSumWidth / nCount;", "nRawWidth = (nSumWidth + nCount - 1) / nCount;", [ENGINE, CLI]),
    ("no rounding to four", "engine/Canvas.cpp", "const std::int64_t nH = (nRawHeight / 4) * 4;", "const std::int64_t nH = nRawHeight;", [ENGINE, CLI]),
    ("negative side accepted", "engine/Canvas.cpp", "if (nRawWidth < 0 || nRawHeight < 0)", "if (nRawWidth < 0 && nRawHeight < 0)", [ENGINE, CLI]),
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
    ("still not saved text", "app/CWizardDlg.cpp", 'kStillNotSaved = "Soubor se nepodařilo uložit!"', 'kStillNotSaved = "Soubor nebyl uložen!"', [E2E]),
    ("quit question text", "app/CWizardDlg.cpp", 'MessageBox(kQuitQuestion, kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES', 'MessageBox(kQuitQuestion, kCaption, MB_YESNO) != IDYES', [FRAME, E2E]),
    ("no pictures stays", "app/CWizardDlg.cpp", "            m_nPage = kPageSource;\n            return;", "            return;", [FRAME]),
    ("still road to animation", "app/CWizardDlg.cpp", "            m_nPage = kPageStillSettings;\n", "", [FRAME, E2E]),
    ("prev from still to welcome", "app/CWizardDlg.cpp", "        m_nPage = kPageSource;\n        m_pageStillSettings.ShowWindow(SW_HIDE);", "        m_nPage = kPageWelcome;\n        m_pageStillSettings.ShowWindow(SW_HIDE);", [FRAME, E2E]),
    ("prev left enabled on welcome", "app/CWizardDlg.cpp", "    if (m_nPage == kPageWelcome)\n        EnableButton(IDC_PREV, FALSE);", "", [FRAME, E2E]),
    ("wizard still ratio reversed", "app/CWizardDlg.cpp", "const BlendWeight weight(StillWeight(nPos));", "const BlendWeight weight(StillWeight(100 - nPos));", [E2E]),
    ("result not opened", "app/CWizardDlg.cpp", 'ShellExecuteA(nullptr, "", m_strResultPath, "", "", SW_SHOW);', "", [E2E]),
    ("ratio label swapped", "pages/CStillSettingsPage.cpp", 'text.Format("%d:%d", 100 - b, a);', 'text.Format("%d:%d", a, 100 - b);', [PAGES, E2E]),
    ("frame count may be 0", "pages/CAnimSettingsPage.cpp", "DDV_MinMaxInt(pDX, m_nFrameCount, 1, 1000000);", "DDV_MinMaxInt(pDX, m_nFrameCount, 0, 1000000);", [PAGES, FRAME]),
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
    ("canvas of no pixels accepted", "engine/Canvas.cpp", "    if (nW == 0 || nH == 0)\n", "    if (nW < 0 && nH < 0)\n", [ENGINE, CLI, E2E]),
    ("hard link not the same file", "engine/SameFile.cpp", "return first.st_dev == second.st_dev && first.st_ino == second.st_ino;", "return false;", [ENGINE, E2E]),
    ("super index always written", "video/CAviWriter.cpp", 'w.U32(bOpenDml ? MakeFourcc("indx") : kJunk);', 'w.U32(MakeFourcc("indx"));', [VIDEO]),
    ("slideshow halves rounded down", "cli/SlideshowCommand.cpp", "rate.m_nRate * 2 + nPerFrame)", "rate.m_nRate * 2 + nPerFrame - 1)", [CLI]),
    ("preview size text", "pages/CPreviewWnd.cpp", 'QStringLiteral("%1 × %2 pixelů")', 'QStringLiteral("%1 x %2 pixelů")', [PAGES]),
    ("trailing letters read", "platform/ui/CDataExchange.cpp", "    if (i != text.size())\n        return FALSE;", "", [UI, PAGES]),
    ("not-a-number text", "platform/ui/CDataExchange.cpp", '"Zadejte celé číslo."', '"Zadejte číslo."', [UI, PAGES, FRAME]),
    # A wider set: faults of the same kinds in the layers the lists above touch less.
    ("dialog units round down", "platform/ui/CDialogBaseUnits.cpp", "n >= 0 ? (n + c / 2) / c", "n >= 0 ? n / c", [UI, PAGES]),
    ("INT_MIN refused", "platform/ui/CDataExchange.cpp", "signedValue < INT_MIN", "signedValue <= INT_MIN", [UI]),
    ("dot in a folder taken for an extension", "platform/ui/CFileDialog.cpp", "if (name.find('.') == std::string_view::npos)", "if (s.find('.') == std::string::npos)", [UI, PAGES]),
    ("Escape answers yes", "platform/ui/CQtMessageBox.cpp", "box.setEscapeButton(pNo);", "box.setEscapeButton(pYes);", [UI]),
    ("slider page a quarter", "platform/ui/CSliderCtrl.cpp", "(nMax - nMin) / 5", "(nMax - nMin) / 4", [PAGES]),
    ("slider range from 1", "pages/CStillSettingsPage.cpp", "m_ctlRatio.SetRange(0, 100, FALSE);", "m_ctlRatio.SetRange(1, 100, FALSE);", [PAGES]),
    ("preview size sides swapped", "pages/CPreviewWnd.cpp", ".arg(canvas->Value().Width()).arg(canvas->Value().Height())", ".arg(canvas->Value().Height()).arg(canvas->Value().Width())", [PAGES]),
    ("Escape ends the done page", "pages/CStillDonePage.cpp", "void CStillDonePage::OnCancel() {}", "void CStillDonePage::OnCancel() { CDialog::OnCancel(); }", [PAGES]),
    ("controls not grown to their text", "platform/ui/CDialog.cpp", "    if (needed > pControl->width())\n        pControl->resize(", "    if (false)\n        pControl->resize(", [PAGES]),
    ("focused button leaves Enter to the dialog", "platform/ui/CDialog.cpp", "        button->setAutoDefault(true);", "        button->setAutoDefault(false);", [UI, PAGES]),
    ("keypad Enter ignored", "platform/ui/CDialog.cpp", "(pEvent->modifiers() == Qt::KeypadModifier && pEvent->key() == Qt::Key_Enter)", "false", [UI, PAGES]),
    ("quality for every compressor", "pages/CCompressionDialog.cpp", "    m_pQuality->setEnabled(bQuality);", "    m_pQuality->setEnabled(true);", [UI]),
    ("compression choice forgotten", "pages/CDialogCompressionChooser.cpp", "    pDialog->SetChoice(m_last);", "", [UI]),
    ("quality label text", "pages/CCompressionDialog.cpp", 'QStringLiteral("Kvalita:")', 'QStringLiteral("Kvalita")', [UI]),
    ("GIF composed over black", "platform/gfx/GfxDecoder.cpp", "const int nCover = 255 - qAlpha(pixel);", "const int nCover = 0;", [ENGINE, CLI]),
    ("pipeline write failure told as an abort", "engine/FramePipeline.cpp", "m_failure = {Outcome::WriteFailed, strError};", "m_failure = {Outcome::Aborted, strError};", [ENGINE]),
    ("image size limit doubled", "engine/Canvas.cpp", "if (nImageSize > kInt32Max)", "if (nImageSize > kInt32Max * 2)", [ENGINE, CLI]),
    ("suggested buffer ignores the largest chunk", "video/CAviWriter.cpp", "std::max(m_nMaxChunk, static_cast<std::uint32_t>(canvas.ImageSize()))", "static_cast<std::uint32_t>(canvas.ImageSize())", [VIDEO]),
    ("encoded frame always a key frame", "video/CAviWriter.cpp", "nSize, frame.m_bKeyFrame});", "nSize, true});", [VIDEO]),
    ("H.264 fourcc misspelt", "video/VideoCodec.cpp", 'MakeFourcc("H264")', 'MakeFourcc("X264")', [VIDEO]),
    ("H.264 key interval", "video/CAvcodecEncoder.cpp", "constexpr int kH264KeyInterval = 250;", "constexpr int kH264KeyInterval = 300;", [VIDEO]),
    ("quality to rate factor", "video/CAvcodecEncoder.cpp", "(nQuality - 1) * 28.0 / 89.0", "(nQuality - 1) * 28.0 / 90.0", [VIDEO]),
    ("encoder given 25 fps", "video/CStagedVideoWriter.cpp", "m_format.m_nQuality, m_format.m_nRate, m_format.m_nScale, m_bGlobalHeader}", "m_format.m_nQuality, 25, 1, m_bGlobalHeader}", [VIDEO]),
    ("new encoder at every picture", "video/SlideshowWriter.cpp", "    if (!pKept) {", "    if (true) {", [VIDEO]),
    ("MP4 index at the end", "video/CMp4Writer.cpp", 'av_dict_set(&pOptions, "movflags", "+faststart", 0);', "", [VIDEO]),
    ("MP4 hold written frame by frame", "video/CMp4Writer.h", "bool HoldsInOneSample() const override { return true; }", "bool HoldsInOneSample() const override { return false; }", [VIDEO]),
    ("MP4 sample lasts one frame", "video/CMp4Writer.cpp", "m_pPacket->duration = nFrames;", "m_pPacket->duration = 1;", [VIDEO]),
    ("MP4 name case-sensitive", "video/VideoContainer.cpp", '::strcasecmp(strName.c_str() + strName.size() - kLength, ".mp4")', 'std::string_view(strName).substr(strName.size() - kLength).compare(".mp4")', [VIDEO, CLI]),
    ("MP4 offered every codec", "video/VideoContainer.cpp", "if (container == VideoContainer::Avi || codec.m_bGoesInMp4)", "if (true)", [UI, E2E]),
    ("batch MP4 defaults to Motion JPEG", "cli/CliVideoSettings.cpp", "        s.m_pCodec = CodecsOf(VideoContainer::Mp4).front();\n", "", [CLI]),
    ("restart keeps the rate", "app/CWizardDlg.cpp", "m_pageAnimSettings.m_nFps = 25;", "m_pageAnimSettings.m_nFps = 24;", [E2E, FRAME]),
    ("failed render leaves Konec disabled", "app/CWizardDlg.cpp", "    EnableButton(IDC_PREV, TRUE);\n    EnableButton(IDCANCEL, TRUE);\n}", "    EnableButton(IDC_PREV, TRUE);\n}", [E2E]),
    ("percent rounded otherwise", "app/CWizardDlg.cpp", "return static_cast<int>(dShare * 100.0);", "return static_cast<int>(100.0 * static_cast<double>(nDone) / static_cast<double>(nTotal));", [E2E]),
    ("wizard skips the AVI name rule", "app/CWizardDlg.cpp", "const std::string strName = VideoFileName(m_pageAnimSettings.m_strOutputPath.str());", "const std::string strName = m_pageAnimSettings.m_strOutputPath.str();", [E2E]),
    ("preview left open during a render", "app/CWizardDlg.cpp", "    m_wndPreview.Close();\n    settings.ShowWindow(SW_HIDE);", "    settings.ShowWindow(SW_HIDE);", [E2E]),
    ("batch still checks another name", "cli/StillCommand.cpp", "CheckOutputIsNotASource(strOutput, ", "CheckOutputIsNotASource(strOutput + \".x\", ", [CLI, E2E]),
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
    ("libheif's size limit taken for memory", "platform/gfx/GfxHeifDecoder.cpp", "    if (error.subcode == heif_suberror_Security_limit_exceeded)\n        return GfxDecodeStatus::TooLarge;\n", "", [ENGINE]),
    ("slideshow fade of one frame", "cli/SlideshowCommand.cpp", "nFade = std::max<std::int64_t>(nFade, 2);", "nFade = std::max<std::int64_t>(nFade, 1);", [CLI]),
    ("a link taken for another file", "engine/SameFile.cpp", "if (::stat(strFirst.c_str(), &first) == 0 && ::stat(strSecond.c_str(), &second) == 0)", "if (::lstat(strFirst.c_str(), &first) == 0 && ::lstat(strSecond.c_str(), &second) == 0)", [ENGINE, CLI, E2E]),
    ("blend exception lane dropped", "engine/BlendWeight.cpp", "form.m_thresholds[x] = static_cast<BYTE>(a);", "form.m_thresholds[x] = static_cast<BYTE>(a - 1);", [ENGINE]),
    ("AVX2 blend skips a threshold group", "engine/BlendWeight.cpp", "for (int j = 0; j < form.m_nGroups; ++j) {", "for (int j = 1; j < form.m_nGroups; ++j) {", [ENGINE]),
    ("AVX-512 blend correction dropped", "engine/BlendWeight.cpp", "_mm512_mask_sub_epi8(r, _mm512_cmplt_epu8_mask(a, threshold), r, vOne)", "_mm512_mask_sub_epi8(r, _mm512_cmplt_epu8_mask(a, threshold), r, _mm512_setzero_si512())", [ENGINE]),
    ("row blended past a short buffer", "engine/Blend.cpp", "return first.Size() >= nEnd && second.Size() >= nEnd && out.Size() >= nEnd;", "return true;", [ENGINE]),
    ("size refused text", "pages/LoadFailureText.h", '"Zadaná velikost je příliš velká nebo neplatná!"', '"Zadaná velikost je neplatná!"', [PAGES, E2E]),
    ("interrupted text", "cli/CliReport.cpp", "\"' was not written\\n\"", "\"' not written\\n\"", [CLI]),
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
                    if run([exe, "--gtest_brief=1"], env=env, cwd=BUILD, timeout=900).returncode:
                        failing.append(t)
                verdict, detail = ("CAUGHT", " ".join(failing)) if failing else ("MISSED", "")
        finally:
            open(source, "w", encoding="utf-8").write(text)
        caught += verdict == "CAUGHT"
        print(f"{verdict:8} {name} ({time.time() - start:.0f} s) {detail}", flush=True)
    print(f"caught {caught} of {len(faults)}")


if __name__ == "__main__":
    main(sys.argv[1:])
