#pragma once

#include <QMainWindow>
#include <QTranslator>

class QStackedWidget;

// The only top-level window: owns the interface translator and the stack of
// screens.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Selects the interface language; an unsupported name selects the default
    // language, the language in use reloads nothing.
    void setLanguage(const QString& name);
    QString currentLanguage() const { return m_currentLanguage; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QStackedWidget* m_screens = nullptr;
    QTranslator m_translator;
    QString m_currentLanguage;
};
