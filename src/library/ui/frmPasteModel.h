#pragma once

#include "data/IPrompts.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The small modal dialog of a model paste: it asks for the new model's ID and description and
// refuses an ID that any model of the library already has, an empty box, or a text the library
// file cannot hold, each with a message (shown through IPrompts) while it stays open.
//
// Its outcome is carried by its two boxes: after OK they hold the accepted texts; Cancel,
// Escape or the window's close box empty both, which the caller reads as "no paste".
class frmPasteModel : public QDialog
{
    Q_OBJECT
public:
    explicit frmPasteModel(IPrompts &messages, QWidget *parent = nullptr);

    QString IdText() const;
    QString DescriptionText() const;

    QLabel *Label2;
    QLabel *Label5[2];
    QLabel *Label1[1];
    QLineEdit *txtFuels[2];
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

public slots:
    void cmdOK_Click();
    void cmdCancel_Click();
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    IPrompts &m_messages;
};

// Shows the dialog modally over parent and returns what its boxes hold afterwards; the
// PasteModel() of the real prompts.
IPrompts::PasteAnswer ShowPasteModel(IPrompts &messages, QWidget *parent);
