#include "shell/forms.h"

#include "shell/about.h"
#include "shell/doco.h"

Forms::Forms() : slots_{&Doco, &frmAbout2} {}

void Forms::destroyAll()
{
    for (auto* s : slots_)
        s->destroy();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Forms& forms()
{
    static Forms f;
    return f;
}
