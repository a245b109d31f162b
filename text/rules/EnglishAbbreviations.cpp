#include "text/rules/EnglishAbbreviations.h"

#include <algorithm>

namespace bitexa {

// Months and days, company forms, titles, places of the United States, units and the short
// forms of scientific and patent writing. Kept in the order the rules were collected in; some
// entries appear twice, which does no harm to a whole-string lookup.
// clang-format off
const std::array<std::wstring_view, 295> EnglishAbbreviations{
    // 1-10
    L"Mon.", L"Tue.", L"Tues.", L"Wed.", L"Thu.",
    L"Thur.", L"Fri.", L"Sat.", L"Apr.", L"Aug.",
    // 11-20
    L"Dec.", L"Feb.", L"Jan.", L"Jul.", L"Jun.",
    L"Mar.", L"May.", L"Nov.", L"Oct.", L"Sep.",
    // 21-30
    L"Sept.", L"AG.", L"A.G.", L"Acad.", L"Bros.",
    L"CO.", L"Co.", L"CORP.", L"Corp.", L"Cie.",
    // 31-40
    L"Dept.", L"Ga.", L"INC.", L"Inc.", L"Inc.",
    L"Ind.", L"Inst.", L"K.K.", L"Ltd.", L"M.A.",
    // 41-50
    L"Md.", L"Mfg.", L"M.S.", L"N.V.", L"P.L.C.",
    L"p.l.c.", L"Plc.", L"plc.", L"S.A.", L"S.p.A.",
    // 51-60
    L"Univ.", L"Adm.", L"Jr.", L"Ph.D.", L"Prop.",
    L"Sec.", L"Secy.", L"Sr.", L"Av.", L"Amer.",
    // 61-70
    L"Eng.", L"G.B.", L"Jap.", L"U.K.", L"U.N.",
    L"U.S.", L"U.S.A.", L"U.S.S.R.", L"U.S.A.", L"U.S.C.",
    // 71-80
    L"U.S.S.R.", L"US.", L"Ala.", L"Alas.", L"Ariz.",
    L"Ark.", L"Calif.", L"Colo.", L"Conn.", L"Del.",
    // 81-90
    L"D.C.", L"Fla.", L"Ga.", L"H.I.", L"Ida.",
    L"Ill.", L"Ind.", L"Ia.", L"Kans.", L"Ky.",
    // 91-100
    L"La.", L"Me.", L"Md.", L"Mass.", L"Mich.",
    L"Minn.", L"Miss.", L"Mo.", L"Mont.", L"Nebr.",
    // 101-110
    L"Nev.", L"N.H.", L"N.J.", L"N.M.", L"N.Y.",
    L"N.C.", L"N.D.", L"Okla.", L"Oreg.", L"Pa.",
    // 111-120
    L"R.I.", L"S.C.", L"S.D.", L"Tenn.", L"Tex.",
    L"Vt.", L"Va.", L"Wash.", L"W.Va.", L"Wis.",
    // 121-130
    L"Wyo.", L"al.", L"Appl.", L"appl.", L"ave.",
    L"Cl.", L"Int.", L"INTL.", L"Off.", L"Pub.",
    // 131-140
    L"APPL.", L"INT.", L"Intl.", L"Biochem.", L"biochem.",
    L"Biol.", L"biol.", L"Chem.", L"chem.", L"Phys.",
    // 141-150
    L"phys.", L"Sci.", L"Tet.", L"a.m.", L"approx.",
    L"p.m.", L"abbr.", L"abr.", L"abstr.", L"advt.",
    // 151-160
    L"agcy.", L"agt.", L"amp.", L"appln.", L"Aromat.",
    L"aromat.", L"Art.", L"at.no.", L"at.wt.", L"bldg.",
    // 161-170
    L"b.p.", L"Btu.", L"C.A.", L"ca.", L"Can.",
    L"c.c.", L"C.G.", L"c.g.", L"C.G.S.", L"c.i.p.",
    // 171-180
    L"cl.", L"Con.", L"C.P.A.", L"cr.", L"Cr.Soc.",
    L"Des.", L"Dft.", L"div.", L"do.", L"dup.",
    // 181-190
    L"ea.", L"ed.", L"eds.", L"enc.", L"engr.",
    L"etc.", L"ext.", L"ff.", L"gaz.", L"gds.",
    // 191-200
    L"govt.", L"gro.", L"H.P.", L"hr.", L"ht.",
    L"ib.", L"id.", L"ill.", L"immun.", L"microbial.",
    // 201-210
    L"Natl.", L"natl.", L"Non-Con.", L"neurosci.", L"P.O.",
    L"P.S.", L"Polynucl.", L"polynucl.", L"Proc.", L"proc.",
    // 211-220
    L"rec.", L"recd.", L"rect.", L"Reg.", L"Sci.",
    L"sci.", L"sig.", L"S.N.", L"syst.", L"temp.",
    // 221-230
    L"ult.", L"vid.", L"virol.", L"viz.", L"ft.",
    L"gal.", L"in.", L"kg.", L"km.", L"kw.",
    // 231-240
    L"l.", L"min.", L"oz.", L"pd.", L"r.p.m.",
    L"wt.", L"yd.", L"yr.", L"Capt.", L"Col.",
    // 241-250
    L"Dr.", L"Gen.", L"Lt.", L"Maj.", L"Messrs.",
    L"Mr.", L"Mrs.", L"Ms.", L"Prof.", L"Rep.",
    // 251-260
    L"Reps.", L"Rev.", L"Revd.", L"Sen.", L"Sens.",
    L"St.", L"Gov.", L"Assist.", L"Mt.", L"Appl.",
    // 261-270
    L"appl.", L"Pat.", L"Ser.", L"Ch.", L"CH.D.",
    L"APPL.", L"Approx.", L"aka.", L"a.k.a.", L"cf.",
    // 271-280
    L"eg.", L"e.g.", L"ex.", L"ie.", L"i.e.",
    L"No.", L"Nos.", L"p.", L"pp.", L"Ph.",
    // 281-290
    L"Tel.", L"tel.", L"v.", L"VS.", L"vs.",
    L"Vol.", L"vol.", L"FIG.", L"Fig.", L"FIGS.",
    // 291-295
    L"Figs.", L"fig.", L"figs.", L"doc.", L"Figure.",
};
// clang-format on

bool IsEnglishAbbreviation(std::wstring_view word) {
    if (word.size() > LongestEnglishAbbreviation) {
        return false;
    }
    return std::find(EnglishAbbreviations.begin(), EnglishAbbreviations.end(), word) !=
           EnglishAbbreviations.end();
}

} // namespace bitexa
