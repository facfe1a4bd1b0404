#include "blockLoadData.h"

BlockLoadData_t::BlockLoadData_t() = default;

void BlockLoadData_t::init()
{
    initDone = true;
}
