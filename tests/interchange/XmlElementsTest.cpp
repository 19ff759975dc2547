// The element wrappers of the interchange XML file: every attribute read under its own name,
// the defaults, and the children each set lists. Reading numbers is the DOM node's own test.
#include <tarvex/interchange/TXMXMLModel.h>
#include <tarvex/interchange/TerminalGroupTerminalType.h>
#include "interchange/XmlTestSupport.h"
#include "support/TXMXMLModelDescription.h"

#include <gtest/gtest.h>

using namespace Tarvex;

using InterchangeTest::parse;

TEST(TXMXMLElements, EveryValueIsReadUnderItsOwnNameFromItsOwnSet)
{
    // Every attribute has its own value, and a bare element of each kind shows the defaults.
    // Children of other names or cases, nested deeper, in a misspelled or later set, are
    // not listed.
    const QDomDocument document = parse(R"xml(<M SchemaVersion="2025.1.0">
      <UNITSet><Length Unit="mm"/><Length Unit="later"/><Power Unit="mW"/><Conductivity Unit="W/(mm-K)"/>
        <Density Unit="g/cc"/></UNITSet>
      <UNITSet><SpecificHeat Unit="later set"/></UNITSet>
      <MaterialSet><Material Name=" A &amp; b&lt;1 " k="1" kx="2" ky="3" kz="4" density="5" specificheat="6"
        emissivity="7"/><material Name="case"/><Include File="lib.xml"/><Other><Material Name="nested"/></Other>
        <Material k="abc" kz=""/><Material K="1" KX="1"/></MaterialSet>
      <Material Name="misplaced"/>
      <SimplifictionOptions><Model ObjectName="misspelled set"/></SimplifictionOptions>
      <SimplificationOptions><Model ObjectName="PCB" NX="8" NY="9"/><Model Nx="5" NY="x"/></SimplificationOptions>
      <GeomSet><Geom Name="wrong set"/></GeomSet><Geom Name="outside"/>
      <GEOMSet><Geom ObjectName="U1" Name="U1_BODY" Type="Package" MatName="Cu" dz="-2.5" Power="11" ThetaJB="12"
        ThetaJC="13"><node x="14" y="15" z="16"/><Node x="99"/><holes><node x="98"/></holes><node y="abc"/></Geom>
        <Geom MatName=""/><Geom matname="Cu" MetalMat="Cu"/></GEOMSet>
      <LayoutSet><Include File="top.txt" MetalMat="Cu" DielectricMat="FR4" ObjectName="L1"/>
        <Include DieletricMat="older spelling"/></LayoutSet>
      <Power2DSourceSet><Power2DSource PowerMapFile="p.txt" xll="17" yll="18" dx="19" dy="20" Rotation="21"
        PowerScale="22" GeomScale="23" Flip="X" Normal="Z" Name="P1" ObjectName="U1" Power="24"/>
        <Power2DSource/><Power2DSources/></Power2DSourceSet>
      <TerminalSet><TerminalGroup ConnectionType="Series" TerminalType="Lump" Name="G1">
        <Terminal Normal="-Z" NX="25" NY="26" Name="T1" ObjectName="U1"/><Terminal/></TerminalGroup>
        <Terminal Name="loose"/><TerminalGroup/></TerminalSet>
      <SolderBallSet><SolderBall Name="B1" MatName="SAC" d1="27" d2="28" dmax="29" ht="30" position="1,2,3"/>
        <SolderBump Name="wrong set"/></SolderBallSet>
      <SolderBumpSet><SolderBump Name="C1" d1="31" d2="32" dmax="33" ht="34" position="4,5,6"/></SolderBumpSet>
    </M>)xml");
    const TXMXMLModel model(document.documentElement());
    const QStringList expected = {
        "Model SchemaVersion=2025.1.0",
        "UNITSet Length=mm Power=mW Conductivity=W/(mm-K) Density=g/cc SpecificHeat=J/(kg-K)",
        "Material Name= A & b<1  hasK=yes k=1 hasKxyz=yes kx=2 ky=3 kz=4 density=5 specificheat=6 emissivity=7",
        "Material Name= hasK=yes k=0 hasKxyz=yes kx=0 ky=0 kz=0 density=0 specificheat=0 emissivity=0",
        "Material Name= hasK=no k=0 hasKxyz=no kx=0 ky=0 kz=0 density=0 specificheat=0 emissivity=0",
        "MaterialInclude File=lib.xml",
        "SimplificationModel ObjectName=PCB NX=8 NY=9",
        "SimplificationModel ObjectName= NX=1 NY=1",
        "Geom ObjectName=U1 Name=U1_BODY Type=Package MatName=\"Cu\" dz=-2.5 Power=11 ThetaJB=12 ThetaJC=13",
        " node x=14 y=15 z=16",
        " node x=0 y=0 z=0",
        "Geom ObjectName= Name= Type= MatName=\"\" dz=0 Power=0 ThetaJB=0 ThetaJC=0",
        "Geom ObjectName= Name= Type= MatName=(none) dz=0 Power=0 ThetaJB=0 ThetaJC=0",
        "LayoutInclude File=top.txt MetalMat=Cu DielectricMat=FR4 ObjectName=L1",
        "LayoutInclude File= MetalMat= DielectricMat= ObjectName=",
        "Power2DSource PowerMapFile=p.txt xll=17 yll=18 dx=19 dy=20 Rotation=21 PowerScale=22 GeomScale=23 Flip=X "
        "Normal=Z Name=P1 ObjectName=U1 Power=24",
        "Power2DSource PowerMapFile= xll=0 yll=0 dx=0 dy=0 Rotation=0 PowerScale=1 GeomScale=1 Flip= Normal= Name= "
        "ObjectName= Power=0",
        "TerminalGroup ConnectionType=Series TerminalType=2 Name=G1",
        " Terminal Normal=-Z NX=25 NY=26 Name=T1 ObjectName=U1",
        " Terminal Normal= NX=0 NY=0 Name= ObjectName=",
        "TerminalGroup ConnectionType= TerminalType=0 Name=",
        "SolderBall Name=B1 MatName=SAC d1=27 d2=28 dmax=29 ht=30 position=1,2,3",
        "SolderBump Name=C1 MatName= d1=31 d2=32 dmax=33 ht=34 position=4,5,6",
    };
    EXPECT_EQ(describeTXMXMLModel(model).join('\n').toStdString(), expected.join('\n').toStdString());
    // Without a unit set every unit has its default.
    EXPECT_EQ(describeTXMXMLModel(TXMXMLModel(parse("<M/>").documentElement())).value(1),
              "UNITSet Length=m Power=W Conductivity=W/(m-K) Density=kg/(m^3) SpecificHeat=J/(kg-K)");

    // A terminal type is exactly "Lump" or "Separate"; other text gives the fallback, and
    // values outside the enumeration no text.
    using Type = TerminalGroupTerminalType;
    EXPECT_EQ(terminalGroupTerminalTypeFromString("Separate", Type::None), Type::Separate);
    EXPECT_EQ(terminalGroupTerminalTypeFromString("lump", Type::Separate), Type::Separate);
    EXPECT_EQ(terminalGroupTerminalTypeFromString(" Lump", Type::None), Type::None);
    EXPECT_EQ(terminalGroupTerminalTypeToString(Type::Lump), QStringLiteral("Lump"));
    EXPECT_EQ(terminalGroupTerminalTypeToString(Type::Separate), QStringLiteral("Separate"));
    EXPECT_EQ(terminalGroupTerminalTypeToString(Type(7)), QString());
}

TEST(TXMXMLElements, ListSettersReplaceInOrderAndOptionalValuesAreWrittenOrRemoved)
{
    const QDomDocument document = parse("<GEOMSet><Geom Name=\"a\"/><note/><Geom Name=\"b\"/><Geom Name=\"c\"/></GEOMSet>");
    TXMXMLGeomSet set(document.documentElement());
    QList<TXMXMLGeom> geoms = set.getGeoms();
    std::swap(geoms[0], geoms[2]);
    geoms.removeAt(1);
    set.setGeoms(geoms);
    // The listed elements, in list order, after the other children; "b" is gone.
    EXPECT_EQ(InterchangeTest::tree(set.element()),
              InterchangeTest::tree(parse(R"(<GEOMSet><note/><Geom Name="c"/><Geom Name="a"/></GEOMSet>)").documentElement()));

    // Nodes made in another document are copied in; wrappers of other names are renamed.
    TXMXMLGeom geom = geoms[0];
    QDomDocument other;
    TXMXMLGeomNode node(other.createElement("point"));
    node.setX(1.5);
    node.setZ(1e-300);
    geom.setNodes({node, node});
    EXPECT_EQ(geom.element().firstChildElement().tagName(), QStringLiteral("node"));
    EXPECT_EQ(geom.getNodes().value(1).getZ(), 1e-300);

    // An empty material name is written; no name removes the attribute.
    geom.setMatName(QString());
    ASSERT_TRUE(geom.getMatName().has_value());
    geom.setMatName(std::nullopt);
    EXPECT_FALSE(geom.hasAttribute("MatName"));
    // A set cannot take its own parent as a child: that would make a cycle.
    TXMXMLGeomSet parent(geom.element().parentNode().toElement());
    geom.setNodes({TXMXMLGeomNode(parent.element()), node});
    EXPECT_EQ(geom.getNodes().size(), 1);
    EXPECT_EQ(parent.getGeoms().size(), 2);
}
