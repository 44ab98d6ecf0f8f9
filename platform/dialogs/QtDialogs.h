#pragma once

#include "platform/UserDialogs.h"

class QWidget;

namespace vantelo {

class QtFileDialog final : public FileDialog {
public:
    explicit QtFileDialog(QWidget* parent = nullptr) : parent_(parent) {}
    QString ShowOpen(int flags, const QString& filter, int filterIndex) override;

private:
    QWidget* parent_;
};

class QtClipboard final : public Clipboard {
public:
    void SetText(const QString& text) override;
};

class QtMsgBox final : public MsgBox {
public:
    explicit QtMsgBox(QWidget* parent = nullptr) : parent_(parent) {}
    MsgAnswer Show(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon) override;

private:
    QWidget* parent_;
};

class QtTextPrompt final : public TextPrompt {
public:
    explicit QtTextPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<QString> Ask(const QString& label, const QString& title, const QString& preset) override;

private:
    QWidget* parent_;
};

} // namespace vantelo
