#include "ui/WindowParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/Messages.h"
#include "ui/MessageBoxes.h"
#include "ui/TableViewer.h"

namespace k400::ui {

std::string ToEdsText(const QString& text)
{
    // UTF-8 whatever the locale; the EDS writers turn it into Windows-1252.
    return text.toUtf8().toStdString();
}

QString Indexed(const char* name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

QString Mnemonic(const char* caption, char key)
{
    QString text = FromCore(caption);
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    if (key == 0)
        return text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].toLower() == QChar::fromLatin1(key).toLower() && (i == 0 || text[i - 1] != QLatin1Char('&'))) {
            text.insert(i, QLatin1Char('&'));
            break;
        }
    }
    return text;
}

QPushButton* NamedButton(QWidget* parent, const char* caption, char key, const char* name, const char* tip)
{
    auto* button = new QPushButton(Mnemonic(caption, key), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(FromCore(tip));
    // Outside a dialog a button ignores Return unless told otherwise.
    button->setAutoDefault(true);
    return button;
}

QLabel* BuddyLabel(const char* caption, char key, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(Mnemonic(caption, key), parent);
    label->setBuddy(buddy);
    return label;
}

void MakeReadOnly(QLineEdit* box, const char* tip)
{
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setToolTip(FromCore(tip));
}

QLabel* TitleLabel(const QString& text, QWidget* parent, double scale)
{
    auto* title = new QLabel(text, parent);
    title->setObjectName(QStringLiteral("Title"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * scale);
    big.setBold(true);
    title->setFont(big);
    return title;
}

QGroupBox* BuildEdsInfoRegion(QWidget* parent, std::array<QLineEdit*, 2>& boxes)
{
    auto* region = new QGroupBox(FromCore(msg::EdsInfoCaption), parent);
    region->setObjectName(QStringLiteral("EDSRegion"));
    auto* layout = new QGridLayout(region);
    const char* labels[2] = {msg::DescriptionLabel, msg::CreatedByLabel};
    const char keys[2] = {'D', 'r'};
    const char* tips[2] = {msg::DescriptionTip, msg::CreatedByTip};
    for (int i = 0; i < 2; ++i) {
        boxes[i] = new QLineEdit(region);
        boxes[i]->setObjectName(Indexed("EDSInfo", i));
        boxes[i]->setToolTip(FromCore(tips[i]));
        layout->addWidget(BuddyLabel(labels[i], keys[i], boxes[i], region), i, 0);
        layout->addWidget(boxes[i], i, 1);
    }
    return region;
}

void ShowViewer(QPointer<TableViewer>& viewer, const std::function<TableViewer*()>& open, QWidget* owner)
{
    if (viewer == nullptr) {
        viewer = open();
        viewer->placeBeside(owner);
    }
    viewer->show();
    viewer->raise();
}

void CloseViewers(std::initializer_list<QPointer<TableViewer>*> viewers)
{
    for (QPointer<TableViewer>* viewer : viewers)
        delete viewer->data();
}

}  // namespace k400::ui
