#pragma once

#include "signals/deliverytarget.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class RemoteDelivery;
class SettingsStore;

// "Remote delivery": the three targets delivered signals are sent to. Each can be switched on,
// given its kind, its address (or Telegram's token, chat and API address) and its options, and
// be sent a test whose answer it shows. OK stores all three, unless an address is refused;
// Cancel and the close button store nothing.
class RemoteDeliveryDialog final : public QDialog
{
    Q_OBJECT
public:
    RemoteDeliveryDialog(SettingsStore &settings, RemoteDelivery &delivery,
                         QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(RemoteDeliveryDialog)

    // Target n (1-3) as the dialog shows it.
    DeliveryTarget target(int target) const;

private:
    struct TargetRow
    {
        QCheckBox *on = nullptr;
        QComboBox *kind = nullptr;
        std::array<QCheckBox *, 3> options{};
        QStackedWidget *fields = nullptr;
        QLineEdit *url = nullptr;
        QLineEdit *token = nullptr;
        QLineEdit *chat = nullptr;
        QLineEdit *api = nullptr;
        QPushButton *sendTest = nullptr;
        QLabel *answer = nullptr;
    };

    QWidget *buildTarget(int target);
    void showTarget(int target, const DeliveryTarget &value);
    void sendTest(int target);
    void showAnswer(int target, const QString &text, bool good);
    void store();

    SettingsStore &m_settings;
    RemoteDelivery &m_delivery;
    std::array<TargetRow, deliverytargets::kCount> m_rows;
};
