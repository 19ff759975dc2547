#include <tarvex/host/TerminalAttributes.h>

namespace EntityModel {

AttributePath TerminalAttributes::exportType()
{
    return Export_Options_t / Export_Type_t;
}

AttributePath TerminalAttributes::pinsAlongFirst()
{
    return Pin_Layout_t / N_1_t;
}

AttributePath TerminalAttributes::pinsAlongSecond()
{
    return Pin_Layout_t / N_2_t;
}

AttributePath TerminalAttributes::constructionType()
{
    return Construction_t / Type_t;
}

AttributePath TerminalAttributes::nodes()
{
    return Tarvex_Interchange_Model_t / Terminal_Nodes_t / Nodes_t;
}

} // namespace EntityModel
