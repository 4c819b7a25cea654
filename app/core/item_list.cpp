// ItemList: see item_list.h.
#include "app/core/item_list.h"

std::vector<std::wstring> ItemListSplit(const std::wstring& list) {
    std::vector<std::wstring> items;
    size_t start = 0;
    for (size_t end; (end = list.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        items.push_back(list.substr(start, end - start));
    return items;
}
