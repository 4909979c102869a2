#include "toolkit/modaldialog.h"

#include "toolkit/application.h"
#include "toolkit/dialogsurface.h"
#include "toolkit/dialogtemplate.h"
#include "toolkit/helpkey.h"

#include <QVBoxLayout>

namespace tk {

namespace {

QWidget* OwnerOf(QWidget* parent)
{
    if (parent)
        return parent;
    Application* application = Application::Current();
    return application ? application->MainWindow() : nullptr;
}

} // namespace

ModalDialog::ModalDialog(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(OwnerOf(parent))
    , m_surface(new DialogSurface(dialogTemplate, this))
{
    setWindowTitle(
        QString::fromUtf8(dialogTemplate.caption.data(), qsizetype(dialogTemplate.caption.size())));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_surface);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_surface->CreateControls();
    m_surface->MapNotification(kOk, Notification::Clicked, [this] { accept(); });
    m_surface->MapNotification(kCancel, Notification::Clicked, [this] { reject(); });
    InstallHelpKey(this);
}

int ModalDialog::DoModal()
{
    return exec();
}

} // namespace tk
