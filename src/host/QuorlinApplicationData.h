#pragma once

#include <QString>

namespace EntityModel {

/// What the host knows of the installed Quorlin tool suite.
class QuorlinApplicationData
{
public:
    /// The folder the suite's 3D solver is installed in: the environment variable
    /// TARVEX3D_FOLDER here, where a real host reads its installation settings (empty when
    /// it is not set).
    static QString getTarvex3DFolder();
};

} // namespace EntityModel
