#pragma once

#include <QGroupBox>

namespace tk {

// A framed caption drawn behind the controls it surrounds (they are its
// siblings, not its children). Its mnemonic takes the focus to the control
// given, or to the checked one when that is a radio button of a set.
class GroupBox : public QGroupBox {
    Q_OBJECT

public:
    explicit GroupBox(const QString& title, QWidget* parent = nullptr);

    void SetMnemonicTarget(QWidget* target) { m_target = target; }

protected:
    bool event(QEvent* event) override;

private:
    QWidget* m_target = nullptr;
};

} // namespace tk
