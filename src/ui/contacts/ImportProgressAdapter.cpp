#include "contacts/ImportProgressAdapter.h"

namespace telvora {

CImportProgressAdapter::CImportProgressAdapter(QObject* parent)
    : QObject(parent)
{ }

void CImportProgressAdapter::progressed(std::size_t done, std::size_t total)
{
    // Emitted on the worker: the connection to the window is queued by Qt.
    emit progressReported(static_cast<int>(done), static_cast<int>(total));
}

} // namespace telvora
