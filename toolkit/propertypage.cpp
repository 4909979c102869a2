#include "toolkit/propertypage.h"

namespace tk {

PropertyPage::PropertyPage(const DialogTemplate& dialogTemplate, QWidget* parent)
    : DialogSurface(dialogTemplate, parent)
{
    setAccessibleName(Caption().remove(QLatin1Char('&')));
}

QString PropertyPage::Caption() const
{
    const std::string_view caption = Template().caption;
    return QString::fromUtf8(caption.data(), qsizetype(caption.size()));
}

} // namespace tk
