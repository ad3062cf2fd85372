#include "contacts/ProgressAdapter.h"

namespace telvora {

CProgressAdapter::CProgressAdapter(QObject* parent)
    : QObject(parent)
{ }

void CProgressAdapter::progressed(std::size_t done, std::size_t total)
{
    // Emitted on the worker: the connection to the window is queued by Qt.
    emit progressReported(static_cast<int>(done), static_cast<int>(total));
}

} // namespace telvora
