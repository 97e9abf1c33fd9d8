#include "tsl2/list.h"

namespace Tsl {

void (*g_pfnListNodeFreed)(const void* pNode, const void* pNext, const void* pPrev) = nullptr;

} // namespace Tsl
