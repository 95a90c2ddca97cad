#include "core/fs/LocalFileSystem.h"
#include "core/rename/MainPrg.h"
#include "tests/support/WidgetLookup.h"
#include "ui/concat/frm_CopyFiles.h"
#include "ui/main/frm_Main.h"
#include "ui/rename/frm_ChangeFilename.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

enum class Window { Main, ChangeFilename, CopyFiles };

struct ButtonRow {
    const char* name;
    Window window;
    const char16_t* description;
};

std::ostream& operator<<(std::ostream& out, const ButtonRow& row) {
    return out << row.name;
}

// The label in the button's frame at the button's height: the row's description.
QLabel* labelBeside(const QWidget& button) {
    const int middle = button.geometry().center().y();
    for (QLabel* label : button.parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->geometry().top() <= middle && middle <= label->geometry().bottom())
            return label;
    }
    return nullptr;
}

class CaptionlessButton : public testing::TestWithParam<ButtonRow> {
protected:
    // The row's button, in its window shown on the screen.
    QPushButton* shownButton() {
        QWidget* windows[] = {&main, &changeFilename, &copyFiles};
        QWidget* window = windows[static_cast<int>(GetParam().window)];
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return control<QPushButton>(*window, QString::fromLatin1(GetParam().name));
    }

    frm_Main main;
    LocalFileSystem fileSystem;
    MainPrg mainPrg{fileSystem};
    frm_ChangeFilename changeFilename{mainPrg};
    frm_CopyFiles copyFiles;
};

TEST_P(CaptionlessButton, HasItsDescriptionAsAccessibleNameAndTooltip) {
    const QString description = QString::fromUtf16(GetParam().description);
    QPushButton* button = shownButton();
    ASSERT_NE(button, nullptr);

    EXPECT_EQ(button->text(), QString()) << "the button shows a caption";
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), description);
    EXPECT_EQ(button->toolTip(), description);
    if (GetParam().window == Window::Main) {
        const QLabel* label = labelBeside(*button);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), description);
    }
}

TEST_P(CaptionlessButton, ShowsItsTooltipWhenTheMouseRestsOnIt) {
    const QString description = QString::fromUtf16(GetParam().description);
    QPushButton* button = shownButton();
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(QToolTip::isVisible());

    const QPoint middle = button->rect().center();
    QHelpEvent rest(QEvent::ToolTip, middle, button->mapToGlobal(middle));
    QApplication::sendEvent(button, &rest);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), description);
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
}

const ButtonRow buttons[] = {
    {"cmd_ChangeFilename", Window::Main,
     u"Anhand eines Suchstrings den Dateinamen in zwei Teile splitten und die Teile vertauschen"},
    {"cmd_CutandNumber", Window::Main,
     u"Die ersten 3 Stellen des Dateinamens entfernen und durch lfd. Nummern ersetzen"},
    {"cmd_ChangeString", Window::Main,
     u"Einen Suchstring im Dateinamen durch einen anderen ersetzen"},
    {"cmd_AddNumber", Window::Main, u"Füge dem Dateinamen zu Beginn laufende Nummern hinzu"},
    {"cmd_AddText", Window::Main, u"Füge dem Dateinamen am Ende einen definierten Text hinzu"},
    {"cmd_CutNameFirst", Window::Main,
     u"Den Dateinamen am Anfang um eine oder mehrere Stellen kürzen"},
    {"cmd_CutNameLast", Window::Main,
     u"Den Dateinamen am Ende um eine oder mehrere Stellen kürzen"},
    {"cmd_CutNameStringLast", Window::Main,
     u"Anhand eines Suchstrings den Dateinamen um den Teil hinter dem Suchstring kürzen"},
    {"cmd_ReadID3", Window::Main, u"ID3-Tag von mp3-Dateien auslesen"},
    {"cmd_CopyFiles", Window::Main, u"MP3-Dateien zusammenkopieren"},
    {"cmd_Quellverzeichnis", Window::ChangeFilename, u"Quellverzeichnis wählen"},
    {"cmd_Zielverzeichnis", Window::ChangeFilename, u"Zielverzeichnis wählen"},
    {"cmd_VerzEinlesen1", Window::CopyFiles, u"Datei 1 wählen"},
    {"cmd_VerzEinlesen2", Window::CopyFiles, u"Datei 2 wählen"},
    {"cmd_VerzEinlesen3", Window::CopyFiles, u"Datei 3 wählen"},
    {"cmd_VerzEinlesen4", Window::CopyFiles, u"Datei 4 wählen"},
};

INSTANTIATE_TEST_SUITE_P(EveryOne, CaptionlessButton, testing::ValuesIn(buttons),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
