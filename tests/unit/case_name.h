#pragma once

#include <gtest/gtest.h>

#include <string>

// Names each instance of a table-driven test after the `name` field of its case.
struct CaseName {
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};
