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

QString Indexed(const char* name, int index) { return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index); }

QPushButton* NamedButton(QWidget* parent, const char* caption, const char* name)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
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
    for (int i = 0; i < 2; ++i) {
        boxes[i] = new QLineEdit(region);
        boxes[i]->setObjectName(Indexed("EDSInfo", i));
        layout->addWidget(new QLabel(QString::fromLatin1(labels[i]), region), i, 0);
        layout->addWidget(boxes[i], i, 1);
    }
    return region;
}

void ShowViewer(QPointer<TableViewer>& viewer, const std::function<TableViewer*()>& open)
{
    if (viewer == nullptr)
        viewer = open();
    viewer->show();
    viewer->raise();
}

void CloseViewers(std::initializer_list<QPointer<TableViewer>*> viewers)
{
    for (QPointer<TableViewer>* viewer : viewers)
        delete viewer->data();
}

}  // namespace k400::ui
