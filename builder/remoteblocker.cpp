#include "builder/remoteblocker.h"

#include "builder/runpolicy.h"

namespace quill {

void RemoteBlocker::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (!isRemoteScheme(info.requestUrl().scheme()))
        return;
    info.block(true);
    ++blocked_;
}

} // namespace quill
