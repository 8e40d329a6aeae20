#pragma once

// Guards nothing itself: pages shown inside a frame built from the wizard's
// frame template, with the modal services replaced by recording stand-ins.

#include <gtest/gtest.h>

// Qt
#include <QLineEdit>

// Local
#include "platform/ui/CDialog.h"
#include "tests/platform/support/TestServices.h"

// A frame that counts the OK and cancel commands that reach it.
class CTestFrame : public CDialog {
public:
    CTestFrame();
    void OnOK() override { ++nOK; }
    void OnCancel() override { ++nCancel; }
    int nOK = 0;
    int nCancel = 0;
};

class PageTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Creates the page as the frame does and shows it.
    void Show(CDialog& page);

    QLineEdit* Edit(CDialog& page, int nID) const;
    QString Text(CDialog& page, int nID) const;
    bool Enabled(CDialog& page, int nID) const;
    bool Checked(CDialog& page, int nID) const;
    void Click(CDialog& page, int nID) const;
    void Type(CDialog& page, int nID, const char* text) const;

    CRecordingMessageBox boxes;
    CScriptedFileChooser chooser;
    CTestFrame frame;
};
