#include "app/SRequestDispatcher.h"

void SRequestDispatcher::Register(int code, Handler handler) { table_[code] = std::move(handler); }

bool SRequestDispatcher::Has(int code) const { return table_.count(code) != 0; }

long SRequestDispatcher::Dispatch(SAppRequest& request) const {
    auto it = table_.find(request.code);
    return it == table_.end() ? 0 : it->second(request);
}
