// The program's dialog templates: the wizard's frame and its eight pages.
// Positions and sizes are dialog units; controls are in tab order.

#include <array>

// Local
#include "res/DialogTemplate.h"
#include "res/resource.h"

namespace {

using K = DialogItemKind;

constexpr unsigned kLabel = 0;
constexpr unsigned kButton = kTabStop;
// The paths reach their edits from the choosers only.
constexpr unsigned kPathEdit = kTabStop | kDisabled;
constexpr unsigned kNumberEdit = kTabStop | kDigitsOnly;
// A radio group is one tab stop, on its checked button; the arrows move within it.
constexpr unsigned kRadio = kTabStop;
constexpr unsigned kCheck = kTabStop;
constexpr unsigned kGroupBox = 0;
constexpr const char* kFont = "MS Sans Serif";

// Both settings pages: ticked, each picture keeps its shape, with bars beside it.
constexpr const char* kKeepAspect = "Zachovat poměr stran";

constexpr const char* kThanks =
    "Děkuji za použití programu. Pokud k němu máte nějaké připomínky, tak neváhejte a napište mi je na E-mail.";

constexpr std::array kWizard{
    DialogItem{IDC_NEXT, K::PushButton, "Další", 263, 179, 50, 14, kButton},
    DialogItem{IDC_PREV, K::PushButton, "Předchozí", 205, 179, 50, 14, kButton | kDisabled},
    DialogItem{IDCANCEL, K::PushButton, "Konec", 7, 179, 50, 14, kButton},
    DialogItem{IDC_STATIC, K::Label, "© 2026 tým Plavex", 84, 183, 101, 8, kLabel},
    DialogItem{IDC_STATIC, K::EtchedLine, "", 7, 173, 306, 1, 0},
};

constexpr std::array kWelcome{
    DialogItem{IDC_STATIC, K::Label, "Vítá vás průvodce vytvořením morfovaného obrázku či animace.", 22, 51, 205, 8,
               kLabel},
    DialogItem{IDC_STATIC, K::Label, "Pro pokračování klikněte na tlačítko další!", 22, 154, 134, 8, kLabel},
    DialogItem{IDC_STATIC, K::Label,
               "Ze dvou obrázků vytvoří animaci AVI, v níž se první obrázek plynule prolne do druhého, "
               "nebo jeden obrázek BMP, který oba smíchá v poměru, jaký si zvolíte.",
               22, 69, 252, 37, kLabel},
    DialogItem{IDC_STATIC, K::Label,
               "Program Plavex je volně šiřitelný. Připomínky, nalezené chyby a nápady na vylepšení "
               "nám prosím pošlete e-mailem.",
               22, 107, 252, 35, kLabel},
};

constexpr std::array kSource{
    DialogItem{IDC_STATIC, K::Label, "Vyberte si obrázky, ze kterých bude vytvořena animace, nebo obrázek:", 22, 9,
               225, 8, kLabel},
    DialogItem{IDC_STATIC, K::Label, "První obrázek:", 22, 34, 47, 8, kLabel},
    DialogItem{IDC_PATH, K::Edit, "", 22, 46, 234, 14, kPathEdit},
    DialogItem{IDC_BROWSE, K::PushButton, "...", 261, 47, 16, 14, kButton},
    DialogItem{IDC_STATIC, K::Label, "Druhý obrázek:", 22, 70, 49, 8, kLabel},
    DialogItem{IDC_SECOND_PATH, K::Edit, "", 22, 83, 234, 14, kPathEdit},
    DialogItem{IDC_BROWSE_SECOND, K::PushButton, "...", 261, 83, 16, 14, kButton},
    DialogItem{IDC_STATIC, K::Label, "Co chcete vytvořit?", 22, 112, 63, 8, kLabel},
    DialogItem{IDC_RADIO_FIRST, K::RadioButton, "Animaci (přechod jednoho obrázku do druhého)", 36, 131, 166, 10,
               kRadio},
    DialogItem{IDC_RADIO_SECOND, K::RadioButton, "Obrázek (smíchání dvou zdrojových obrázků)", 36, 145, 159, 10,
               kRadio},
    DialogItem{IDC_FIRST_THUMB, K::Label, "", 282, 32, 32, 30, kLabel},
    DialogItem{IDC_FIRST_REASON, K::Label, "", 22, 61, 234, 8, kLabel},
    DialogItem{IDC_SECOND_THUMB, K::Label, "", 282, 69, 32, 30, kLabel},
    DialogItem{IDC_SECOND_REASON, K::Label, "", 22, 98, 234, 8, kLabel},
};

constexpr std::array kAnimSettings{
    DialogItem{IDC_STATIC, K::Label, "Vyberte si soubor, do kterého bude animace uložena:", 22, 9, 168, 8, kLabel},
    DialogItem{IDC_PATH, K::Edit, "", 22, 22, 228, 14, kPathEdit},
    DialogItem{IDC_BROWSE, K::PushButton, "...", 256, 22, 18, 14, kButton},
    DialogItem{IDC_STATIC, K::GroupBox, "Nastavení animace", 22, 48, 252, 114, kGroupBox},
    DialogItem{IDC_STATIC, K::Label, "Počet snímků:", 36, 62, 46, 8, kLabel},
    DialogItem{IDC_STATIC, K::Label, "Rychlost (snímků za sekundu):", 163, 62, 98, 8, kLabel},
    DialogItem{IDC_FRAME_COUNT, K::Edit, "", 36, 75, 44, 14, kNumberEdit},
    DialogItem{IDC_FPS, K::Edit, "", 163, 75, 42, 14, kNumberEdit},
    DialogItem{IDC_STATIC, K::Label, "Velikost videa:", 36, 100, 47, 8, kLabel},
    DialogItem{IDC_RADIO_FIRST, K::RadioButton, "Automatická", 47, 116, 55, 10, kRadio},
    DialogItem{IDC_RADIO_SECOND, K::RadioButton, "Vlastní", 47, 128, 53, 10, kRadio},
    DialogItem{IDC_WIDTH, K::Edit, "", 47, 143, 30, 14, kNumberEdit},
    DialogItem{IDC_HEIGHT, K::Edit, "", 95, 143, 29, 14, kNumberEdit},
    DialogItem{IDC_STATIC, K::Label, "X", 84, 146, 8, 8, kLabel},
    DialogItem{IDC_STATIC, K::Label, "Pixelů", 131, 145, 20, 8, kLabel},
    DialogItem{IDC_STATIC, K::Label,
               "Pozn:\nVelikost videa bude možná mírně upravena (čísla musí být násobkem čtyř)", 171, 118, 95, 38,
               kLabel},
    DialogItem{IDC_KEEP_ASPECT, K::CheckBox, kKeepAspect, 95, 99, 100, 10, kCheck},
    DialogItem{IDC_PREVIEW, K::PushButton, "Náhled…", 216, 97, 50, 14, kButton},
};

constexpr std::array kAnimProgress{
    DialogItem{IDC_STATIC, K::Label, "Probíhá vytváření animace, čekejte prosím!", 84, 7, 138, 8, kLabel},
    DialogItem{IDC_FRAME_LABEL, K::Label, "Snímek 0/0", 132, 25, 61, 8, kLabel},
    DialogItem{IDC_PROGRESS, K::Progress, "", 22, 38, 265, 14, 0},
    DialogItem{IDC_PERCENT_LABEL, K::Label, "0%", 144, 61, 34, 8, kLabel},
};

constexpr std::array kAnimDone{
    DialogItem{IDC_STATIC, K::Label, "Animace byla úspěšně vytvořena!", 22, 7, 108, 8, kLabel},
    DialogItem{IDC_OPEN_RESULT, K::CheckBox, "Spustit animaci po ukončení programu", 41, 26, 147, 10, kCheck},
    DialogItem{IDC_START_AGAIN, K::CheckBox, "Vytvořit další animaci", 41, 41, 132, 10, kCheck},
    DialogItem{IDC_STATIC, K::Label, kThanks, 22, 64, 218, 35, kLabel},
    DialogItem{IDC_STATIC, K::Label, "Pokračujte tlačítkem Dokončit!", 7, 155, 218, 8, kLabel},
};

constexpr std::array kStillSettings{
    DialogItem{IDC_STATIC, K::Label, "Vyberte soubor, do kterého bude obrázek uložen:", 22, 7, 197, 8, kLabel},
    DialogItem{IDC_PATH, K::Edit, "", 22, 19, 230, 14, kPathEdit},
    DialogItem{IDC_BROWSE, K::PushButton, "...", 260, 19, 18, 14, kButton},
    DialogItem{IDC_STATIC, K::GroupBox, "Nastavení obrázku", 22, 46, 256, 112, kGroupBox},
    DialogItem{IDC_STATIC, K::Label, "Velikost obrázku:", 35, 70, 55, 8, kLabel},
    DialogItem{IDC_RADIO_FIRST, K::RadioButton, "Automatická", 101, 70, 55, 10, kRadio},
    DialogItem{IDC_RADIO_SECOND, K::RadioButton, "Vlastní", 101, 85, 46, 10, kRadio},
    DialogItem{IDC_WIDTH, K::Edit, "", 157, 83, 30, 14, kNumberEdit},
    DialogItem{IDC_HEIGHT, K::Edit, "", 206, 83, 29, 14, kNumberEdit},
    DialogItem{IDC_STATIC, K::Label, "X", 193, 86, 8, 8, kLabel},
    DialogItem{IDC_STATIC, K::Label, "Pixelů", 243, 87, 20, 8, kLabel},
    DialogItem{IDC_KEEP_ASPECT, K::CheckBox, kKeepAspect, 101, 100, 100, 10, kCheck},
    DialogItem{IDC_STATIC, K::Label, "Poměr zdrojových obrázků:", 35, 118, 86, 8, kLabel},
    DialogItem{IDC_RATIO_SLIDER, K::Slider, "", 35, 132, 159, 15, kTabStop},
    DialogItem{IDC_RATIO_LABEL, K::Label, "50:50", 217, 135, 19, 8, kLabel},
    DialogItem{IDC_PREVIEW, K::PushButton, "Náhled…", 222, 112, 50, 14, kButton},
};

constexpr std::array kStillProgress{
    DialogItem{IDC_STATIC, K::Label, "Čekejte prosím, vytvářím obrázek!", 95, 7, 108, 8, kLabel},
    DialogItem{IDC_PROGRESS, K::Progress, "", 34, 24, 244, 14, 0},
    DialogItem{IDC_PERCENT_LABEL, K::Label, "0%", 129, 49, 37, 8, kLabel},
};

constexpr std::array kStillDone{
    DialogItem{IDC_STATIC, K::Label, "Obrázek byl úspěšně vytvořen!", 22, 7, 99, 8, kLabel},
    DialogItem{IDC_OPEN_RESULT, K::CheckBox, "Zobrazit obrázek po ukončení programu", 41, 26, 147, 10, kCheck},
    DialogItem{IDC_START_AGAIN, K::CheckBox, "Vytvořit další obrázek", 41, 41, 132, 10, kCheck},
    DialogItem{IDC_STATIC, K::Label, kThanks, 22, 64, 218, 35, kLabel},
    DialogItem{IDC_STATIC, K::Label, "Pokračujte tlačítkem Dokončit!", 7, 158, 218, 8, kLabel},
};

constexpr DialogTemplate kTemplates[] = {
    {IDD_WIZARD, 0, 0, 320, 200, "Plavex – průvodce prolínáním obrázků, © 2026 tým Plavex", kFont, 8, kWizard},
    {IDD_WELCOME, 0, 0, 281, 169, nullptr, kFont, 8, kWelcome},
    {IDD_SOURCE, 0, 0, 316, 168, nullptr, kFont, 8, kSource},
    {IDD_ANIM_SETTINGS, 0, 0, 281, 169, nullptr, kFont, 8, kAnimSettings},
    {IDD_ANIM_PROGRESS, 0, 0, 294, 153, nullptr, kFont, 8, kAnimProgress},
    {IDD_ANIM_DONE, 0, 0, 247, 171, nullptr, kFont, 8, kAnimDone},
    {IDD_STILL_SETTINGS, 0, 0, 285, 165, nullptr, kFont, 8, kStillSettings},
    {IDD_STILL_PROGRESS, 0, 0, 285, 123, nullptr, kFont, 8, kStillProgress},
    {IDD_STILL_DONE, 0, 0, 251, 173, nullptr, kFont, 8, kStillDone},
};

} // namespace

const DialogTemplate* FindDialogTemplate(int nID)
{
    for (const DialogTemplate& tmpl : kTemplates)
        if (tmpl.nID == nID)
            return &tmpl;
    return nullptr;
}

const char* AppIconPath() { return ":/plavex/plavex.png"; }
