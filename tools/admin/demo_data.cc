// Sample data of the demo installation: two terminals, work groups and
// workplaces with their cost centres, further master data marked for the
// operator's download (pps2bde-admin download ... ZuzErOro), planning orders
// and operations (new, changed, deleted), and one batch of the download
// queue.
#include "tools/admin/admin.h"

const char* Admin_DemoData() {
  return R"sql(
insert into Kvn557Cfg (CfgDta,CfgIP,CfgPrt,CfgBez,CfgTxt,CfgKr1,CfgVn1,CfgBi1,CfgBz1,
                       CfgVn2,CfgBi2,CfgBz2,CfgSta,CfgErf) values
  (1,'10.1.20.11','4001','Terminal Halle 1','Halle1',0,'FB01','FB09','Dreherei',
   'FB50','FB59','Lager',0,'demo'),
  (2,'10.1.20.12','4002','Terminal Halle 2','Halle2',0,'FB10','FB19','Montage',
   null,null,null,0,'demo');

insert into Kvn530Apg (ApgApg,ApgBez,ApgTxt,ApgKst,ApgFbe,ApgDna,ApgDwn,ApgErf) values
  ('DREH','Dreherei','Drehen','4711','FB01',null,null,'demo'),
  ('MONT','Montage','Montieren','4712','FB10',null,null,'demo');
insert into Kvn531Apl (AplApl,AplBez,AplTxt,AplApg,AplFbe,AplSts,AplApr,AplErf) values
  ('DM-01','Drehmaschine 1','CNC','DREH','FB01',1,1,'demo'),
  ('DM-02','Drehmaschine 2','CNC','DREH','FB01',1,2,'demo'),
  ('MP-01','Montageplatz 1','Hand','MONT','FB10',1,1,'demo');

-- Cost centres of the work groups, production areas and further master
-- data; the Kvn521Ubg and Kvn510Prv rows wait for the operator's download.
insert into Kvn537Ksg (KsgApg,KsgKst,KsgGvo,KsgGbi,KsgFbe,KsgErf) values
  ('DREH','4700','2020-01-01 00:00:00','2024-01-01 00:00:00','FB01','demo'),
  ('DREH','4711','2024-01-01 00:00:00',null,'FB01','demo'),
  ('MONT','4712','2020-01-01 00:00:00',null,'FB10','demo');
insert into o1003Kststelle (KstNum) values ('4711'),('4712');
insert into Kvn559Fbe (FbeFbe,FbeTyp) values ('FB01',1),('FB10',2);
insert into Kvn521Ubg (UbgUbg,UbgKnz,UbgFbe,UbgBez,UbgTxt,UbgDna,UbgDwn,UbgErf) values
  ('RUES',1,'FB01','Ruesten','Ruesten','NEU','ZuzErOro','demo'),
  ('STOE',2,'FB10','Maschinenstoerung','Stoerung','NEU','ZuzErOro','demo');
insert into Kvn510Prv (PrvPnr,PrvGvo,PrvBer,PrvKst,PrvFbe,PrvDna,PrvDwn,PrvAwn,PrvAwa,PrvNam,
                       PrvErf) values
  ('00001001','2024-01-01 00:00:00',1,'4711','FB01','NEU','ZuzErOro','A-1001',1,
   'Anna Berger','demo'),
  ('00001002','2024-01-01 00:00:00',2,'4712','FB10','LOE','ZuzErOro','A-1002',1,
   'Jonas Keller','demo');

-- A BDE order that the planning system has since deleted, with two
-- operations, and one that it has changed.
insert into Kvn501Apk (ApkApk,ApkBz1,ApkTxt,ApkSts,ApkAfo,ApkTnr,ApkSme,ApkMee,ApkBgs,
                       ApkEns,ApkFbe,ApkKst,ApkKnz,ApkAba,ApkErf,ApkDat) values
  ('090000000001','Welle 20mm','alt',10,2,'W-20',50,'STK','2026-11-20 00:00:00',
   '2026-11-27 00:00:00','FB01','4711',' ',1,'Kolvane','2026-11-19 08:00:00'),
  ('090000000002','Flansch DN50','alt',11,1,'F-50',20,'STK','2026-11-23 00:00:00',
   '2026-11-30 00:00:00','FB10','4712',' ',1,'Kolvane','2026-11-19 08:00:00');
insert into Kvn504App (AppApk,AppApp,AppBz1,AppSts,AppApg,AppApl,AppFbe,AppSme,AppMee,
                       AppErf,AppDat) values
  ('090000000001','00010','Drehen',10,'DREH','DM-01','FB01',50,'STK','Kolvane',
   '2026-11-19 08:00:00'),
  ('090000000001','00020','Entgraten',10,'DREH','DM-02','FB01',50,'STK','Kolvane',
   '2026-11-19 08:00:00'),
  ('090000000002','00010','Montieren',11,'MONT','MP-01','FB10',20,'STK','Kolvane',
   '2026-11-19 08:00:00');

insert into Kvn500Auk (AukApk,AukBz1,AukBz2,AukTxt,AukSts,AukAfo,AukKun,AukKb1,AukKb2,
                       AukBgs,AukEns,AukTnr,AukTb1,AukTb2,AukSme,AukMee,AukZf1,AukZf2,
                       AukZf3,AukFbe,AukKst) values
  ('100000000001','Antriebswelle','Serie 7','AW-7',1,2,'K1001','Maschinenbau Nord',
   'Hamburg','20261207','20261211','AW-7-100','Antriebswelle','gehaertet',120,'STK',
   'Eilauftrag','','','FB01','4711'),
  ('100000000002','Getriebegehaeuse','','GG-3',1,1,'K1002','Getriebe Sued','Muenchen',
   '20261208','20261218','GG-3-200','Gehaeuse','Guss',12.5,'STK','','','','FB10','4712'),
  ('090000000001','Welle 20mm','','alt',9,0,'','','','20261120','20261127','W-20','',
   '',50,'STK','','','','FB01','4711'),
  ('090000000002','Flansch DN50','geaendert','neu',1,1,'','','','20261123','20261204',
   'F-50','','',25,'STK','','','','FB10','4712');
insert into Kvn503Afo (AfoApk,AfoApp,AfoVaf,AfoNaf,AfoBz1,AfoBz2,AfoTxt,AfoSts,AfoBgs,
                       AfoBgz,AfoEns,AfoEnz,AfoAgs,AfoSme,AfoMee,AfoSta,AfoStr,AfoSte,
                       AfoApg,AfoApl,AfoZf1,AfoZf2,AfoZf3,AfoKst,AfoFbe) values
  ('100000000001','00010','','00020','Drehen','Aussenkontur','CNC',1,'20261207','060000',
   '20261208','140000',1,120,'STK',0.5,0.25,1.5,'DREH','DM-01','','','','4711','FB01'),
  ('100000000001','00020','00010','','Schleifen','Lagersitz','SL',1,'20261208','140000',
   '20261209','120000',1,120,'STK',0.25,0.1,0.75,'DREH','DM-02','','','','4711','FB01'),
  ('100000000002','00010','','','Montieren','Endmontage','HM',1,'20261210','060000',
   '20261218','140000',1,12.5,'STK',4.5,1,40,'MONT','XX-99','','','','4712','FB10');

-- One batch of the download queue: re-send one order and one operation.
insert into Kvn540Dnl (DnlDta,DnlLfn,DnlVkz,DnlBer,DnlFun,DnlSkz,DnlPnr,DnlApk,DnlApp,
                       DnlApl,DnlDnl,DnlDat,DnlErf) values
  ('2026-12-01 06:00:00',1,'','','AEN','APK','','090000000002',null,'',null,
   '2026-12-01 06:00:00','ZuzErOro'),
  ('2026-12-01 06:00:00',2,'','','AEN','APP','','090000000002','00010','MP-01',null,
   '2026-12-01 06:00:00','ZuzErOro');
)sql";
}
