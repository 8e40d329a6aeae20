#pragma once

// Stand-ins for the modal services, for tests: each installs itself while it
// lives, answers from a script and records what it was asked.

#include <deque>
#include <vector>

#include "platform/ui/IFileChooser.h"
#include "platform/ui/IMessageBox.h"
#include "platform/ui/IShell.h"

class CRecordingMessageBox : public IMessageBox {
public:
    struct Call {
        QWidget* pOwner;
        QString strText;
        QString strCaption;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    CRecordingMessageBox() : m_pPrevious(Install(this)) {}
    ~CRecordingMessageBox() override { Install(m_pPrevious); }
    QMessageBox::StandardButton Show(QWidget* pOwner, const QString& strText, const QString& strCaption,
                                     QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) override;

    std::vector<Call> calls;
    std::deque<QMessageBox::StandardButton> answers;   // given in order; then Ok, or No for a yes/no box

private:
    IMessageBox* m_pPrevious;
};

class CScriptedFileChooser : public IFileChooser {
public:
    CScriptedFileChooser() : m_pPrevious(Install(this)) {}
    ~CScriptedFileChooser() override { Install(m_pPrevious); }
    QString Choose(const FileChooserRequest& request) override;

    std::vector<FileChooserRequest> requests;
    std::deque<QString> answers;   // an empty path cancels; no answer left cancels too

private:
    IFileChooser* m_pPrevious;
};

class CRecordingShell : public IShell {
public:
    CRecordingShell() : m_pPrevious(Install(this)) {}
    ~CRecordingShell() override { Install(m_pPrevious); }
    bool Open(const QString& strPath) override
    {
        opened.push_back(strPath);
        return true;
    }

    std::vector<QString> opened;

private:
    IShell* m_pPrevious;
};
