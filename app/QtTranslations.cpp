#include "app/QtTranslations.h"

// Qt
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

bool InstallQtTranslations(const char* pszLanguage)
{
    auto* pApp = QCoreApplication::instance();
    if (!pApp)
        return false;
    const QString strName = QStringLiteral("qtbase_") + QString::fromUtf8(pszLanguage);
    // One translator per language for the application's whole life.
    if (pApp->findChild<QTranslator*>(strName, Qt::FindDirectChildrenOnly))
        return true;
    auto* pTranslator = new QTranslator(pApp);
    pTranslator->setObjectName(strName);
    if (!pTranslator->load(strName, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(pTranslator)) {
        delete pTranslator;
        return false;
    }
    return true;
}
