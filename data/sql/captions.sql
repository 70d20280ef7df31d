-- Main window: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Main', 'FormName', 'FormName', '鹊岭', 'Quillbrook');

-- Main window: button bar
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Main', 'Panel', 'btnSeePatient', '就诊', 'Patients');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Main', 'Panel', 'btnTakePic', '图像', 'Images');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Main', 'Panel', 'btnFiles', '病历', 'Records');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Main', 'Panel', 'btnParams', '系统参数', 'Settings');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Main', 'Panel', 'btnUserMgr', '用户管理', 'Users');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Main', 'Panel', 'btnBasicInfo', '基础资料', 'Dictionaries');

-- Main window: help panel (same text as set in code)
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Main', 'Panel1', 'bbHelp', '帮助信息', 'Help');

-- Main window: status bar
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Main', 'Status', 'RzStatusPane1', '当前用户', 'Current user');

-- Login: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('login', 'FormName', 'FormName', '登录', 'Log in');

-- Login: panel
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('login', 'Panel', 'rzAppCaption', '口腔病历与影像管理系统', 'Dental Records and Imaging');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('login', 'Panel', 'lblUser', '登录用户：', 'User:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('login', 'Panel', 'lblPsw', '密码：', 'Password:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('login', 'Panel', 'btnLogin', '登录', 'Log in');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('login', 'Panel', 'btnChangePSW', '改密码', 'Change password');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('login', 'Panel', 'btnClose', '关闭', 'Close');

-- Change password: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ModifyPassword', 'FormName', 'FormName', '修改密码', 'Change Password');

-- Change password: window
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ModifyPassword', 'Form', 'lblOriginal', '原密码*：', 'Old password*:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ModifyPassword', 'Form', 'lblNewPsw', '新密码*：', 'New password*:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ModifyPassword', 'Form', 'lblCheckPsw', '校验密码*：', 'Confirm password*:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ModifyPassword', 'Form', 'btnSave', '保存', 'Save');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ModifyPassword', 'Form', 'btnAbort', '放弃', 'Cancel');

-- Language setting: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('setting', 'FormName', 'FormName', '选择', 'Select Language');

-- Language setting: window
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('setting', 'Form', 'RzLblLanguage', '界面语言：', 'Language:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('setting', 'Form', 'btnYes', '确定', 'OK');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('setting', 'Form', 'btnClose', '关闭', 'Close');

-- Patient record: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'FormName', 'FormName', '诊疗', 'Patient Record');

-- Patient record: photo panel
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PicPanel', 'btnImport', '引入照片', 'Import photo');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PicPanel', 'btnNote', '记事簿', 'Notebook');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PicPanel', 'btnImageMgr', '浏览影像', 'View images');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PicPanel', 'btnSearch', '搜索病历', 'Find record');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PicPanel', 'btnSave', '保存', 'Save');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PicPanel', 'btnDelete', '删除', 'Delete');

-- Patient record: basic information
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblName', '姓名', 'Name');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblSex', '性别', 'Sex');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblAge', '年龄', 'Age');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblIDCard', '身份证号', 'ID card No.');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblCard', '诊疗卡号', 'Patient card No.');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblBookID', '病历号', 'Record No.');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblBloodType', '血型', 'Blood type');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblHomeTel', '家庭电话', 'Home phone');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblMobile', '手机', 'Mobile');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblQQ', 'QQ', 'QQ');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'BasicInfo1', 'lblHomeAddr', '家庭住址', 'Home address');

-- Patient record: allergy heading
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Allergy', 'lblAllergy', '药物过敏史：', 'Drug allergies:');

-- Patient record: current treatment, condition
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PanelDiseaseDesc', 'lblDate', '诊疗日期：', 'Date:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PanelDiseaseDesc', 'lblDoctor', '接诊医生：', 'Doctor:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PanelDiseaseDesc', 'lblDescription', '病况描述：', 'Condition:');

-- Patient record: current treatment, prescription
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'panelMedicine', 'lblMedicine', '处方药：', 'Prescription:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'panelMedicine', 'btnAddMedicine', '添加', 'Add');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'panelMedicine', 'btnDeleteMedicine', '删除', 'Delete');

-- Patient record: current treatment, plan
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'panelTreatment', 'lblTreatment', '治疗方案：', 'Treatment plan:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'panelTreatment', 'btnSaveTreatment', '保存', 'Save');

-- Patient record: history, condition
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PanelDiseaseDesc1', 'lblDate1', '诊疗日期：', 'Date:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PanelDiseaseDesc1', 'lblDoctor1', '接诊医生：', 'Doctor:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'PanelDiseaseDesc1', 'lblDescription1', '病况描述：', 'Condition:');

-- Patient record: history, medicines
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'panelMedicine1', 'lblMedicine1', '应用药物：', 'Medicines given:');

-- Patient record: history, plan
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'panelTreatment1', 'lblTreatment1', '治疗方案：', 'Treatment plan:');

-- Patient record: prescription grid
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid1', 'cxGridView1FEntryID', '序号', 'No.');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid1', 'cxGridView1FMedcine_find', '处方药', 'Medicine');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid1', 'cxGridView1FUnitName_find', '单位', 'Unit');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid1', 'cxGridView1FQty', '剂量', 'Dose');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid1', 'cxGridView1FMemo', '备注', 'Remarks');

-- Patient record: history prescription grid
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid2', 'cxGridView2FSort', '序号', 'No.');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid2', 'cxGridView2FMedcine_find', '处方', 'Medicine');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid2', 'cxGridView2FUnitName_find', '单位', 'Unit');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid2', 'cxGridView2FQty', '剂量', 'Dose');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid2', 'cxGridView2FMemo', '备注', 'Remarks');

-- Patient record: treatment history list
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid3', 'cxGridView3FDate', '就诊日期', 'Visit date');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Patient', 'Grid3', 'cxGridView3FDoctorName_Find', '接诊医师', 'Doctor');

-- Find patient: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'FormName', 'FormName', '查找病人', 'Find Patient');

-- Find patient: search panel
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Panel', 'chkFuzzy', '模糊查找', 'Partial match');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Panel', 'lblFind', '查找', 'Find');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Panel', 'btnFind', '查找', 'Search');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Panel', 'btnShowAll', '全部显示', 'Show all');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Panel', 'rbName', '姓名', 'Name');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Panel', 'rbPhone', '手机/固话', 'Mobile/Phone');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Panel', 'rbCard', '诊疗卡号', 'Patient card No.');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Panel', 'rbOther', '其他', 'Other');

-- Find patient: window
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Form', 'btnClose', '关闭', 'Close');

-- Find patient: result grid
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Grid', 'cxGrid1DBTableView1FNAME', '姓名', 'Name');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Grid', 'cxGrid1DBTableView1FMOBILE', '手机', 'Mobile');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Grid', 'cxGrid1DBTableView1FHOME_TEL', '家庭电话', 'Home phone');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Grid', 'cxGrid1DBTableView1FCARD', '诊疗卡', 'Patient card');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Grid', 'cxGrid1DBTableView1FIDCARD', '身份证', 'ID card');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Grid', 'cxGrid1DBTableView1FBOOKID', '病历号', 'Record No.');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Grid', 'cxGrid1DBTableView1FSEX', '性别', 'Sex');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('find', 'Grid', 'cxGrid1DBTableView1FAGE', '年龄', 'Age');

-- Dictionaries: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'FormName', 'FormName', '基础资料', 'Dictionaries');

-- Dictionaries: bottom panel
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'BottomPanel', 'chkUse', '启用', 'In use');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'BottomPanel', 'btnPrior', '上条', 'Previous');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'BottomPanel', 'btnNext', '下条', 'Next');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'BottomPanel', 'btnInsert', '插入', 'New');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'BottomPanel', 'btnDelete', '删除', 'Delete');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'BottomPanel', 'btnEdit', '编辑', 'Edit');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'BottomPanel', 'btnCancel', '撤销', 'Undo');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'BottomPanel', 'btnSave', '保存', 'Save');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'BottomPanel', 'btnClose', '关闭', 'Close');

-- Dictionaries: units list
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'Grid1', 'GridUnitFNAME', '药品单位', 'Unit');

-- Dictionaries: medicines list
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('BasicInfo', 'Grid2', 'GridMedicineFNAME', '药品名称', 'Medicine name');

-- Users: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'FormName', 'FormName', '用户管理', 'User Management');

-- Users: input panel
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'PanelInput', 'lblUser', '用户：', 'User:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'PanelInput', 'lblPassword', '密码：', 'Password:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'PanelInput', 'chkUse', '启用', 'In use');

-- Users: window
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'Form', 'btnPrior', '上条', 'Previous');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'Form', 'btnNext', '下条', 'Next');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'Form', 'btnInsert', '插入', 'New');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'Form', 'btnDelete', '删除', 'Delete');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'Form', 'btnEdit', '编辑', 'Edit');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'Form', 'btnCancel', '撤销', 'Undo');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'Form', 'btnSave', '保存', 'Save');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'Form', 'btnClose', '关闭', 'Close');

-- Users: list
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'Grid', 'cxGrid1DBTableView1FNAME', '名称', 'Name');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('User', 'Grid', 'cxGrid1DBTableView1FUSE', '启用', 'In use');

-- Image memo: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Memo', 'FormName', 'FormName', '备注', 'Memo');

-- Image memo: window
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Memo', 'Form', 'btnOK', '确定', 'OK');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('Memo', 'Form', 'btnCancel', '取消', 'Cancel');

-- Image archive: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'FormName', 'FormName', '影像档案', 'Image Archive');

-- Image archive: dental chart
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'TopPanel', 'RzPanelAllImage', '全部影像', 'All images');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'TopPanel', 'pnlRight_U', '右上', 'Upper Right');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'TopPanel', 'pnlLeft_U', '左上', 'Upper Left');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'TopPanel', 'pnlLeft_D', '左下', 'Lower Left');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'TopPanel', 'pnlRight_D', '右下', 'Lower Right');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'TopPanel', 'RzPanelUnAssignImages', '未定影像', 'Unassigned');

-- Image archive: command column
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'Commandbar', 'btnTakePicture', '拍摄', 'Capture');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'Commandbar', 'btnImport', '导入', 'Import');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'Commandbar', 'btnExportOne', '导出', 'Export');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'Commandbar', 'btnDeleteOne', '删除', 'Delete');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'Commandbar', 'btnDeleteAll', '全删', 'Delete all');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'Commandbar', 'btnDoMemo', '备注', 'Memo');

-- Image archive: tool bar
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'Toolbar', 'lblIamgeArrange', '影像布局：', 'Layout:');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'Toolbar', 'btnCompare', '影像对照', 'Compare');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ImageCapture', 'Toolbar', 'btnUnSelectImages', '撤销选图', 'Clear selection');

-- Comparison: title
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'FormName', 'FormName', '影像对照', 'Compare Images');

-- Comparison: tool strip
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'TopPanel', 'lblLayout', '影像布局', 'Layout');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'TopPanel', 'btnClose', '关闭', 'Close');

-- Comparison: zoom group
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'Group1', 'lblStretchMode', '缩放模式', 'Zoom mode');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'Group1', 'lblZoom', '全局缩放', 'Zoom');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'Group1', 'lblZoomMin', '0', '0');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'Group1', 'lblZoomMax', '600%', '600%');

-- Comparison: magnifier group
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'Group2', 'lblMagnify', '放大倍数', 'Magnification');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'Group2', 'lblArea', '面积', 'Area');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'Group2', 'RzDBCheckFrame', '边框', 'Border');
INSERT INTO t_ItemCaption (FCatalog, FBigkey, FKey, FChinese, FEnglish) VALUES ('ZoomImage', 'Group2', 'lblColor', '颜色', 'Color');

COMMIT;
