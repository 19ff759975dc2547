#pragma once

#include <string>
#include <vector>

namespace Tarvex3D {

/// A reference to faces of a solid as a project writes it: "S id F n (k face)*n m (op)*m I
/// flag", for example "S 40 F 1 1 6 1 101  I 0" (face 6 of object 40, made by operation 101).
class TarvexRefFace
{
public:
    /// Reads `text`; false, leaving this reference empty, for an empty text or one that does
    /// not follow the form (a missing marker or count, a count larger than what follows, a
    /// face number or flag that is not an integer).
    bool parse(const std::string& text);

    /// The id of the object whose faces are meant.
    const std::string& getObjectId() const { return m_objectId; }
    /// The face numbers, in order.
    const std::vector<int>& getFaces() const { return m_faces; }
    /// The ids of the operations that made the faces, in order.
    const std::vector<std::string>& getOperationIds() const { return m_operationIds; }
    /// The value after "I".
    int getFlag() const { return m_flag; }

private:
    std::string m_objectId;
    std::vector<int> m_faces;
    std::vector<std::string> m_operationIds;
    int m_flag = 0;
};

} // namespace Tarvex3D
