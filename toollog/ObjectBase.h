#pragma once

// Root of the tool log's object tree.
class CObjectBase {
public:
    virtual ~CObjectBase() = default;
};
