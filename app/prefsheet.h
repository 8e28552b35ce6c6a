#pragma once

#include <QDialog>

#include <functional>

class CPrefPage1;
class CPrefPage2;
class CPrefPage3;
class QDialogButtonBox;
class QTabWidget;

/// "Preferences": the three preference pages on tabs, with OK, Cancel and
/// Help. The Help button and F1 ask for the sheet's help topic through the
/// function it is given. Interface thread only.
class CPrefSheet : public QDialog {
    Q_OBJECT

public:
    using HelpRequest = std::function<void(int topic)>;

    static constexpr int kHelpTopic = 5112;

    explicit CPrefSheet(HelpRequest help, QWidget* parent = nullptr);

    CPrefPage1& page1() const { return *m_page1; }
    CPrefPage2& page2() const { return *m_page2; }
    CPrefPage3& page3() const { return *m_page3; }
    QTabWidget* tabs() const { return m_tabs; }
    QDialogButtonBox* buttons() const { return m_buttons; }

    void requestHelp();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    HelpRequest m_help;
    QTabWidget* m_tabs;
    CPrefPage1* m_page1;
    CPrefPage2* m_page2;
    CPrefPage3* m_page3;
    QDialogButtonBox* m_buttons;
};
