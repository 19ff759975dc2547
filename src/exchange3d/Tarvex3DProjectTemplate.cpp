#include <tarvex/exchange3d/Tarvex3DProjectTemplate.h>

namespace Tarvex3D {

QString Tarvex3DProjectTemplate::text()
{
    // Ids 1 to 36 are the template's own; groups keep the same GUID in every project.
    static const QString xml = QStringLiteral(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<!--Norvane Halvik Project File-->
<Project SchemaVersion="17" ProductVersion="2025.1.0">
  <Company Value="Tarvex"/>
  <ProjectID Value="00000000-0000-0000-0000-000000000000"/>
  <CreatedBy Value="tarvex"/>
  <CreationDate Value="2025-01-01T00:00:00"/>
  <LastModifiedBy Value="tarvex"/>
  <LastModifiedDate Value="2025-01-01T00:00:00"/>
  <Comment Value=""/>
  <IdSeed Value="37"/>
  <GeomTextMode Value="0"/>
  <Model ModelName="">
    <CADImport>
      <CADImportType Value="0"/>
      <CADImportSpd LayerMapping="0" ImportBoundary="1" BoundaryTolerance="0.001" ArcSubDivisions="6" CircleSubDivisions="6"/>
    </CADImport>
    <LayoutSetup ShortCircuitCheck="0" OpenCircuitCheck="0" DRCCheck="0" DRCClearance="0"/>
    <AnalysisSetup UseAutoPrecedence="1">
      <AmbientFluid Name="Air" Temperature="25" Pressure="101325"/>
      <FrequencySettings Start="0" Stop="0" Points="1"/>
      <FrequencySampling Type="0"/>
      <GeometryOptions MergeTolerance="1e-06" HealGeometry="1"/>
      <GeometryOptionsI3D SimplifyVias="0" SimplifyTraces="0"/>
      <MeshOptions Type="0">
        <DiscretizationLevel Name="Coarse" Value="1"/>
        <DiscretizationLevel Name="Medium" Value="2"/>
        <DiscretizationLevel Name="Fine" Value="3"/>
        <DiscretizationLevel Name="Custom" Value="0"/>
      </MeshOptions>
      <SimulationGeneralOptions MaxCPUsUseInSimulation="8" UseAllCPUs="0"/>
      <SimulationElectricModelsOptions Temperature="25"/>
      <BallBumps Model="0"/>
      <DieMolds Model="0"/>
      <Board Model="0">
        <Layer Name="Top" Model="0"/>
        <Layer Name="Bottom" Model="0"/>
        <PKG Model="0"/>
      </Board>
      <ThermalSimulationOptions SimulationType="0" Type="0" Type2="0" EvaluationTempExp="25 C" CFDAmbientTemperature="25" MaxIteration="30" TargetRMS="0.01" EnableEvalRelativeHumidity="0" EvalHumidityTemperature="85 C" EvalHumidity="85 C" AmbientRelativeHumidity="0" EnableDefaultCPUAccelerator="0" EnableDistributedComputing="0" SolverType="0" UseGPU="0" TimeStep="1" EndTime="100" OutputInterval="10" ConvergenceCriteria="0.001" RelaxationFactor="0.7" GravityX="0" GravityY="-9.81" GravityZ="0" RadiationEnabled="0" ConvectionEnabled="1" JouleHeating="0" UseLeakagePower="0" LeakageIterations="5"/>
      <LeadFrameOptions Model="0"/>
      <ThermalCircuitPatches/>
    </AnalysisSetup>
  </Model>
  <DataDefinitions>
    <Norvane_Material_Lib Version="1.05">
      <DataDescriptions>
        <Material>
          <Column name="Default Thickness" unit="um"/>
        </Material>
        <Metal>
          <Column name="Temperature" unit="C"/>
          <Column name="Conductivity" unit="S/m"/>
        </Metal>
        <Dielectric>
          <Column name="Temperature" unit="C"/>
          <Column name="Frequency" unit="MHz"/>
          <Column name="Relative Permittivity"/>
          <Column name="LossTangent"/>
        </Dielectric>
        <Thermal>
          <Column name="Temperature" unit="C"/>
          <Column name="Conductivity" unit="W/(m*K)"/>
          <Column name="Density" unit="kg/m^3"/>
          <Column name="Specific heat" unit="J/(kg*K)"/>
          <Column name="Emissivity"/>
          <Column name="Solar Reflectance"/>
        </Thermal>
        <Magnetic>
          <Column name="Temperature" unit="C"/>
          <Column name="Relative Permeability"/>
          <Column name="Magnetic LossTangent"/>
        </Magnetic>
        <SurfaceRoughness>
          <Huray>
            <Column name="Nodule Radius" unit="um"/>
            <Column name="Hall Huray Surface Ratio"/>
          </Huray>
          <ModHammerstad>
            <Column name="RMS Roughness" unit="um"/>
            <Column name="Roughness Factor"/>
          </ModHammerstad>
        </SurfaceRoughness>
        <Structural>
          <Elasticity>
            <Column name="Temperature" unit="C"/>
            <Column name="Youngs Modulus" unit="Pa"/>
            <Column name="Poissons Ratio"/>
          </Elasticity>
          <Plasticity>
            <IsotropicHardening>
              <Column name="Temperature" unit="C"/>
              <Column name="Yield Stress" unit="Pa"/>
              <Column name="Plastic Strain"/>
            </IsotropicHardening>
          </Plasticity>
          <CTE>
            <Column name="Reference Temperature" unit="C"/>
            <Column name="Temperature" unit="C"/>
            <Column name="CTE" unit="1/C"/>
          </CTE>
          <Viscoplastic>
            <Anand>
              <Column name="S0" unit="Pa"/>
              <Column name="Q/R" unit="K"/>
              <Column name="A" unit="1/s"/>
              <Column name="Xi"/>
              <Column name="m"/>
              <Column name="h0" unit="Pa"/>
              <Column name="S^" unit="Pa"/>
              <Column name="n"/>
              <Column name="a"/>
            </Anand>
            <ModifiedAnand>
              <Column name="S0" unit="Pa"/>
              <Column name="Q/R" unit="K"/>
              <Column name="A" unit="1/s"/>
              <Column name="Xi"/>
              <Column name="m"/>
              <Column name="h0" unit="Pa"/>
              <Column name="S^" unit="Pa"/>
              <Column name="n"/>
              <Column name="a"/>
              <Column name="Temperature" unit="C"/>
            </ModifiedAnand>
          </Viscoplastic>
          <Viscoelastic>
            <PronySeries>
              <Column name="Relaxation Time" unit="s"/>
              <Column name="Shear Modulus Ratio"/>
              <Column name="Bulk Modulus Ratio"/>
            </PronySeries>
          </Viscoelastic>
          <Fatigue>
            <Darveaux>
              <Column name="K1"/>
              <Column name="K2"/>
              <Column name="K3"/>
              <Column name="K4"/>
            </Darveaux>
            <Solomon>
              <Column name="Theta"/>
              <Column name="Alpha"/>
            </Solomon>
          </Fatigue>
          <Failure>
            <Tension>
              <Column name="Temperature" unit="C"/>
              <Column name="Limit"/>
            </Tension>
            <Compression>
              <Column name="Temperature" unit="C"/>
              <Column name="Limit"/>
            </Compression>
            <MaxPressure>
              <Column name="Temperature" unit="C"/>
              <Column name="Limit"/>
            </MaxPressure>
            <EffectiveStrain>
              <Column name="Temperature" unit="C"/>
              <Column name="Limit"/>
            </EffectiveStrain>
            <MaxStrain>
              <Column name="Temperature" unit="C"/>
              <Column name="Limit"/>
            </MaxStrain>
          </Failure>
        </Structural>
      </DataDescriptions>
    </Norvane_Material_Lib>
  </DataDefinitions>
  <Objects>
    <DataGroup id="1" metaid="5B0E6C44-2D7A-4C41-9E0B-0B6F3C1A7D01" Name="Components" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="2" metaid="5B0E6C44-2D7A-4C41-9E0B-0B6F3C1A7D02" Name="Parts" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="3" metaid="5B0E6C44-2D7A-4C41-9E0B-0B6F3C1A7D03" Name="Coordinate Systems" states="1" fixed="1" sortBy="0" Customized="0"/>
    <UCS id="4" metaid="3D0A6B55-7E21-4F93-A6C4-1B8E2D9F5A04" Name="WorldCS" states="1" matrix="1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1"/>
    <DataGroup id="5" metaid="5B0E6C44-2D7A-4C41-9E0B-0B6F3C1A7D05" Name="CuttingPlanes" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="6" metaid="5B0E6C44-2D7A-4C41-9E0B-0B6F3C1A7D06" Name="Circuits" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="7" metaid="5B0E6C44-2D7A-4C41-9E0B-0B6F3C1A7D07" Name="CFD Component" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="8" metaid="5B0E6C44-2D7A-4C41-9E0B-0B6F3C1A7D08" Name="Nets" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="9" metaid="5B0E6C44-2D7A-4C41-9E0B-0B6F3C1A7D09" Name="Results" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="10" metaid="7A3F2B10-91C4-4E8B-8F2D-3C6A5E4B1D10" Name="Static Analysis" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="11" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C11" Name="Power Input" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="12" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C12" Name="Heat Transfer Conditions" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="13" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C13" Name="Voltage Source (VRM)" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="14" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C14" Name="Current Source (Sink)" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="15" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C15" Name="Stress Constraint" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="16" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C16" Name="Probings" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="17" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C17" Name="Component Thermal Model" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="18" metaid="7A3F2B10-91C4-4E8B-8F2D-3C6A5E4B1D18" Name="Transient Analysis" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="19" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C19" Name="Power Input" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="20" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C20" Name="Heat Transfer Conditions" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="21" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C21" Name="Voltage Source (VRM)" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="22" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C22" Name="Current Source (Sink)" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="23" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C23" Name="Stress Constraint" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="24" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C24" Name="Probings" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="25" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C25" Name="Component Thermal Model" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="26" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C26" Name="Moisture Isolated Conditions" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="27" metaid="7A3F2B10-91C4-4E8B-8F2D-3C6A5E4B1D27" Name="Extraction" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="28" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C28" Name="Voltage Source (VRM)" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="29" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C29" Name="Current Source (Sink)" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="30" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C30" Name="Heat Transfer Conditions" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="31" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C31" Name="Terminals" states="1" fixed="1" sortBy="0" Customized="0"/>
    <DataGroup id="32" metaid="9C1E4D22-63B5-4A7F-B0C8-2E9D7F6A3C32" Name="Probings" states="1" fixed="1" sortBy="0" Customized="0"/>
    <NetObject id="33" metaid="8E4C1A77-2B90-4D6E-9F13-5A7C3E1B2D33" Name="UnnamedNet" states="1" NetType="0"/>
    <TemperatureDissipationCurveObj id="34" metaid="4F6B2C88-1D37-4A95-8E20-6B9D4C2A1E34" Name="DefaultTemperatureCurve" states="1"/>
    <UniformTimeStepObj id="35" metaid="2A9E5D99-4C18-4B76-A3F1-7D2E6B5C9F35" Name="DefaultTimeStep" states="1" StartTime="0" EndTime="1" Steps="10"/>
    <MultiStageWarpageStressObj id="36" metaid="6C3D8E00-5B29-4C87-B4A2-8E3F7C6D0A36" Name="DefaultWarpageStages" states="1" Stages="1"/>
  </Objects>
  <Structure>
    <DataGroup id="1" Name="Components"/>
    <DataGroup id="2" Name="Parts"/>
    <DataGroup id="3" Name="Coordinate Systems">
      <Object id="4"/>
    </DataGroup>
    <DataGroup id="8" Name="Nets">
      <Object id="33"/>
    </DataGroup>
    <DataGroup id="5" Name="CuttingPlanes"/>
    <DataGroup id="7" Name="CFD Component"/>
    <DataGroup id="6" Name="Circuits"/>
    <DataGroup id="9" Name="Results"/>
    <DataGroup id="10" Name="Static Analysis">
      <DataGroup id="11" Name="Power Input"/>
      <DataGroup id="12" Name="Heat Transfer Conditions"/>
      <DataGroup id="13" Name="Voltage Source (VRM)"/>
      <DataGroup id="14" Name="Current Source (Sink)"/>
      <DataGroup id="15" Name="Stress Constraint"/>
      <DataGroup id="16" Name="Probings"/>
      <DataGroup id="17" Name="Component Thermal Model"/>
    </DataGroup>
    <DataGroup id="18" Name="Transient Analysis">
      <DataGroup id="19" Name="Power Input"/>
      <DataGroup id="20" Name="Heat Transfer Conditions"/>
      <DataGroup id="21" Name="Voltage Source (VRM)"/>
      <DataGroup id="22" Name="Current Source (Sink)"/>
      <DataGroup id="23" Name="Stress Constraint"/>
      <DataGroup id="24" Name="Probings"/>
      <DataGroup id="25" Name="Component Thermal Model"/>
      <DataGroup id="26" Name="Moisture Isolated Conditions"/>
    </DataGroup>
    <DataGroup id="27" Name="Extraction">
      <DataGroup id="28" Name="Voltage Source (VRM)"/>
      <DataGroup id="29" Name="Current Source (Sink)"/>
      <DataGroup id="30" Name="Heat Transfer Conditions"/>
      <DataGroup id="31" Name="Terminals"/>
      <DataGroup id="32" Name="Probings"/>
    </DataGroup>
  </Structure>
</Project>
)xml");
    return xml;
}

} // namespace Tarvex3D
