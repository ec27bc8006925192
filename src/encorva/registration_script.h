// SPDX-License-Identifier: GPL-3.0-or-later
// The module's registration texts, kept as its resources: the class and ProgID keys
// (resource 102) and the keys of the embedded type library.
#pragma once

namespace vantrel::encorva {

inline constexpr int kRegistryResourceId = 102;

inline constexpr const char* kRegistrationScript = R"(
HKCR
{
  Encorva.EncorvaObj.1 = s 'Ostrel R&D Encorva2'
  {
    CLSID = s '{D81ADC49-B724-468C-89FC-D39AEB8A9956}'
  }
  Encorva.EncorvaObj = s 'EncorvaObj Class'
  {
    CLSID = s '{D81ADC49-B724-468C-89FC-D39AEB8A9956}'
    CurVer = s 'Encorva.EncorvaObj.1'
  }
  NoRemove CLSID
  {
    ForceRemove {D81ADC49-B724-468C-89FC-D39AEB8A9956} = s 'Ostrel R&D Encorva2'
    {
      ProgID = s 'Encorva.EncorvaObj.1'
      VersionIndependentProgID = s 'Encorva.EncorvaObj'
      ForceRemove 'Programmable'
      InprocServer32 = s '%MODULE%'
      {
        val ThreadingModel = s 'Apartment'
      }
      ForceRemove 'Control'
      ForceRemove 'Insertable'
      ForceRemove 'ToolboxBitmap32' = s '%MODULE%, 101'
      'MiscStatus' = s '0'
      {
        '1' = s '132497'
      }
      'TypeLib' = s '{E9675192-C4A5-4E9B-B70E-94258AB57B7E}'
      'Version' = s '1.0'
    }
  }
}
)";

// What registering the type library writes: the library under its LIBID and version, and
// each interface pointing back to it. The module itself holds the library, so its path is
// the library's file ("linux" stands where the other platform writes its "win32").
inline constexpr const char* kTypeLibraryScript = R"(
HKCR
{
  NoRemove TypeLib
  {
    ForceRemove {E9675192-C4A5-4E9B-B70E-94258AB57B7E}
    {
      '1.0' = s 'Ostrel R&D Encorva 4.0'
      {
        '0'
        {
          'linux' = s '%MODULE%'
        }
        FLAGS = s '0'
        HELPDIR = s '%MODULEDIR%'
      }
    }
  }
  NoRemove Interface
  {
    ForceRemove {21134ED4-6B69-4489-9BFC-EA3A6B74DE59} = s 'IEncorvaObj'
    {
      ProxyStubClsid32 = s '{00020424-0000-0000-C000-000000000046}'
      TypeLib = s '{E9675192-C4A5-4E9B-B70E-94258AB57B7E}'
      {
        val Version = s '1.0'
      }
    }
    ForceRemove {805AC357-5C93-4CE3-BB24-3BF6CFA2D661} = s '_IEncorvaObjEvents'
    {
      ProxyStubClsid32 = s '{00020420-0000-0000-C000-000000000046}'
      TypeLib = s '{E9675192-C4A5-4E9B-B70E-94258AB57B7E}'
      {
        val Version = s '1.0'
      }
    }
  }
}
)";

}  // namespace vantrel::encorva
