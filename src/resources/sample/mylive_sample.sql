-- Vantorel 新安装时的示例数据（主数据库）
-- 示例中的“今天”是 2009-01-31，春节假期的最后一天

-- 首次运行标记（登录密码 123456 的行 id 1 由程序在创建时以其散列值写入）
INSERT INTO "user" (id, password) VALUES (2, '1');

-- 知识分类，第一个是日志的系统分类
INSERT INTO fftype (id, fftype) VALUES (1, '日志');
INSERT INTO fftype (id, fftype) VALUES (2, '时间管理');
INSERT INTO fftype (id, fftype) VALUES (3, '读书笔记');
INSERT INTO fftype (id, fftype) VALUES (4, '工作方法');
INSERT INTO fftype (id, fftype) VALUES (5, '健康生活');
INSERT INTO fftype (id, fftype) VALUES (6, '理财知识');

-- 行动主题
INSERT INTO juese (id, name, content) VALUES (1, '事业发展', '把本职工作做扎实，争取在新的一年承担更大的责任。');
INSERT INTO juese (id, name, content) VALUES (2, '身心健康', '规律作息，坚持锻炼，保持精力充沛和心情平和。');
INSERT INTO juese (id, name, content) VALUES (3, '家庭生活', '多陪伴父母家人，把家里的事情安排得井井有条。');
INSERT INTO juese (id, name, content) VALUES (4, '学习成长', '每天学一点，提高英语水平，系统地读一些专业书。');
INSERT INTO juese (id, name, content) VALUES (5, '财务规划', '清楚每一笔钱的去向，量入为出，逐步积累储蓄。');

-- 目标：zhuangtai 0 未执行，1 执行中，2 已完成
INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) VALUES (1, '完成年度销售方案', '在二月底前拿出一份数据扎实、可以执行的年度销售方案，并通过部门评审。', '2008-12-15', '2009-02-28', 1, 1);
INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) VALUES (2, '争取项目主管岗位', '梳理自己的工作成果，补齐项目管理方面的短板，上半年争取竞聘项目主管。', '2009-01-05', '2009-06-30', 1, 1);
INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) VALUES (3, '体重减到70公斤', '从目前的76公斤开始，靠跑步和控制饮食，五月底前减到70公斤。', '2008-12-01', '2009-05-31', 2, 1);
INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) VALUES (4, '养成早睡早起的习惯', '晚上十一点前睡觉，早上六点半起床，连续坚持一个季度。', '2009-01-01', '2009-03-31', 2, 1);
INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) VALUES (5, '接父母来家里过春节', '提前安排好车票、住处和走亲戚的行程，让父母过一个轻松热闹的年。', '2009-01-31', '2009-02-01', 3, 1);
INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) VALUES (6, '整理家庭相册', '把家里的老照片扫描归档，做成电子相册，春节时送给父母。', '2008-12-20', '2009-01-25', 3, 2);
INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) VALUES (7, '通过英语中级口译考试', '每天保持阅读和听力练习，报名并通过今年上半年的中级口译笔试。', '2008-12-01', '2009-06-30', 4, 1);
INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) VALUES (8, '上半年读完十二本专业书', '平均每月两本，以管理和营销方面的书为主，每本写一篇读书笔记。', '2009-01-20', '2009-06-30', 4, 0);
INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) VALUES (9, '建立家庭记账习惯', '定好收支分类，坚持每天记账，月底做一次汇总。', '2008-12-01', '2009-01-25', 5, 2);
INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) VALUES (10, '储备三个月的应急资金', '每月固定存下一部分收入，六月底前攒够三个月的生活开支。', '2009-01-10', '2009-06-30', 5, 0);

-- 任务：zhongyao 1 重要，jinpo 1 紧迫，type1 0 循环 1 一次性，zhuangtai 0 未完成 1 完成 2 放弃 3 推迟
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (1, '收集去年各区域的销售数据', '向各区域要齐去年十二个月的销售明细，统一成一张表。', 1, 1, 1, 1, 1, 1, '2009-01-29', NULL, 1);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (2, '复核《年度方案》初稿——数据、图表、结论，一处都不能含糊！（第二版）', '重点核对各区域的增长假设，图表和正文里的数字要前后一致。', 1, 1, 1, 1, 1, 2, '2009-01-31', '09:00:00', 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (3, '整理节后第一周的工作计划', '明天正式上班，先把这一周要开的会和要交的材料列出来。', 1, 1, 1, 1, 1, 3, '2009-01-31', NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (4, '与财务部核对预算口径', '确认费用预算按季度还是按月度拆分，避免方案返工。', 1, 1, 1, 1, 1, 4, '2009-02-02', NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (5, '方案定稿并提交部门经理', '', 1, 1, 1, 1, 1, 5, '2009-02-06', NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (6, '准备方案宣讲用的幻灯片', '控制在十五页以内，先讲结论，再讲依据。', 1, 1, 1, 0, 1, 6, NULL, NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (7, '整理过去一年的项目成果清单', '把参与过的项目按时间列出来，写清楚自己负责的部分和结果。', 2, 1, 1, 0, 1, 1, '2009-01-30', NULL, 1);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (8, '给部门经理发邮件预约面谈', '想在节后第二周找周经理谈一次今年的职业规划，先发邮件约时间。', 2, 1, 1, 0, 1, 2, '2009-01-31', '16:00:00', 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (9, '报名项目管理培训课程', '比较两家培训机构的周末班，选一个离家近的。', 2, 1, 1, 0, 1, 3, '2009-02-05', NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (10, '阅读团队管理方面的书', '重点看授权和绩效沟通的章节。', 2, 1, 1, 0, 1, 4, NULL, NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (11, '晨跑三公里', '绕小区外的环路跑两圈，天冷注意热身。', 3, 2, 1, 0, 0, 1, '2009-01-31', '07:00:00', 1);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (12, '晚餐主食减半', '过年这几天吃得太多，晚饭多吃蔬菜，少吃米饭和面食。', 3, 2, 0, 0, 0, 2, '2009-01-31', NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (13, '办理健身房年卡', '附近的健身房节后要装修两个月，先不办了，坚持户外跑步。', 3, 2, 0, 0, 1, 3, '2009-01-29', NULL, 2);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (14, '每周日早上称重并记录', '', 3, 2, 0, 0, 0, 4, NULL, NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (15, '十一点前熄灯睡觉', '睡前半小时不看电视，不碰电脑。', 4, 2, 1, 0, 0, 1, '2009-01-31', '22:30:00', 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (16, '卧室换一副遮光窗帘', '过年期间布艺店都关门了，等节后再去挑。', 4, 2, 0, 0, 1, 2, '2009-01-27', NULL, 3);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (17, '带父母去舅舅家拜年', '带上年前买好的茶叶和点心，中午在舅舅家吃饭。', 5, 3, 1, 0, 1, 1, '2009-01-29', NULL, 1);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (18, '陪父母逛庙会', '上午人少，早点出门。', 5, 3, 0, 0, 1, 2, '2009-01-30', NULL, 1);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (19, '送父母去火车站', '火车十二点零五分开，十点半从家里出发，记得带上给老家亲戚的年货。', 5, 3, 1, 1, 1, 3, '2009-01-31', '10:30:00', 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (20, '回复表妹的婚礼请柬', '表妹二月中旬办婚礼，今天之内要告诉她能不能去。', 5, 3, 0, 1, 1, 4, '2009-01-31', '14:30:00', 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (21, '给父母邮寄常用药品', '爸爸的降压药快吃完了，买好后用快递寄回去。', 5, 3, 1, 0, 1, 5, '2009-02-04', NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (22, '扫描老照片并分类', '按年代分文件夹，每张照片标上拍摄地点。', 6, 3, 0, 0, 1, 1, '2009-01-10', NULL, 1);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (23, '制作电子相册送给父母', '配上背景音乐，刻成光盘，让爸妈在电视上就能看。', 6, 3, 1, 0, 1, 2, '2009-01-24', NULL, 1);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (24, '英语阅读半小时', '读两篇英文财经新闻，把生词记到本子上。', 7, 4, 1, 0, 0, 1, '2009-01-31', '19:30:00', 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (25, '新闻听写两篇', '每篇先完整听一遍，再逐句听写，最后对照原文订正。', 7, 4, 1, 0, 0, 2, '2009-01-31', NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (26, '报名三月份的口译考试', '网上报名二月二日截止，要准备好电子照片。', 7, 4, 1, 1, 1, 3, '2009-01-30', NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (27, '整理口译常用词汇表', '按经济、外交、科技、文化四类整理，每类先整理一百条。', 7, 4, 1, 0, 1, 4, NULL, NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (28, '列出上半年的书单', '管理、营销、心理各选几本，总数十二本。', 8, 4, 1, 0, 1, 1, '2009-01-31', NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (29, '读完书单上的第一本书', '', 8, 4, 0, 0, 1, 2, NULL, NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (30, '设计家庭记账的收支分类', '分类不宜太细，收入五类、支出九类就够用。', 9, 5, 1, 0, 1, 1, '2008-12-02', NULL, 1);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (31, '把十二月的票据全部录入', '小票攒了一抽屉，趁周末一次录完。', 9, 5, 0, 1, 1, 2, '2009-01-03', NULL, 1);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (32, '汇总一月份收支并写小结', '重点看春节期间的人情开支，算一算下个月能存多少。', 10, 5, 1, 1, 1, 1, '2009-01-31', '14:00:00', 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (33, '开立一个零存整取账户', '每月发工资后自动转入一千元。', 10, 5, 1, 0, 1, 2, '2009-02-03', NULL, 0);
INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime, zhuangtai) VALUES (34, '比较几家银行的定期存款利率', '降息以后各家银行的利率差别不大，主要比较网点远近和服务。', 10, 5, 0, 0, 1, 3, NULL, NULL, 0);

-- 警句（drmid 1）与使命（drmid 0）
INSERT INTO mengxiang (id, title, drmid) VALUES (1, '重要的事先做，紧急的事快做，不重要的事少做。', 1);
INSERT INTO mengxiang (id, title, drmid) VALUES (2, '今天不想做的事，明天也不会更想做。', 1);
INSERT INTO mengxiang (id, title, drmid) VALUES (3, '计划写在纸上，时间才会听你的安排。', 1);
INSERT INTO mengxiang (id, title, drmid) VALUES (4, '每天进步一点点，一年以后就是另一个自己。', 1);
INSERT INTO mengxiang (id, title, drmid) VALUES (5, '身体是做一切事情的本钱，再忙也要留出锻炼的时间。', 1);
INSERT INTO mengxiang (id, title, drmid) VALUES (6, '做一个值得信赖的人：在工作上让同事放心，在家里让父母安心。', 0);
INSERT INTO mengxiang (id, title, drmid) VALUES (7, '不断学习，用自己的专业帮助客户和团队把事情做成。', 0);
INSERT INTO mengxiang (id, title, drmid) VALUES (8, '过健康、简单、有节制的生活，把时间留给真正重要的人和事。', 0);

-- 知识库文章与日志
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (1, '四象限法则的日常用法', '把手头的事情按重要和紧急两个维度分成四类：重要且紧急、重要不紧急、紧急不重要、既不重要也不紧急。
大多数人的时间都被第一类和第三类占满了，整天忙着救火，却总觉得没做成什么事。真正决定一年收获的，往往是第二类：学习、锻炼、规划、维护关系。
我的做法是每天早上先看一眼第二类里有没有排上今天的事，如果没有，就至少挑一件放进来。第三类的事情能交给别人就交给别人，实在推不掉就集中在下午一起处理。第四类的事情，能不做就不做。
坚持一段时间后会发现，第一类的事情会慢慢变少，因为很多危机在还是第二类的时候就被处理掉了。', '时间管理', '2008-11-05');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (2, '怎样给一天的任务排顺序', '每天的任务最好在前一天晚上就列出来，第二天早上只需要花五分钟调整。
排顺序时先放有固定时间的事，比如开会、接送家人，再把需要整块时间的重要工作放在精力最好的上午。回邮件、打电话这类零碎的事，适合放在午饭后精神不太集中的时候。
给每件需要按时开始的事设一个提醒，到点就切换，不要因为手头的事情顺手就一直拖下去。
一天结束时花几分钟看看完成了多少，没完成的事要么改到别的日子，要么干脆放弃，不要让它们一直挂在清单上消耗注意力。', '时间管理', '2008-11-20');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (3, '关于习惯养成的读书笔记', '这本书的核心观点是：习惯不是靠意志力硬撑出来的，而是靠设计环境和降低门槛。
作者建议把新习惯绑在一个已经稳定的旧习惯后面，比如刷完牙就做十个俯卧撑，吃完晚饭就读十页书。开始时目标要小到不可能失败，等行为固定下来再慢慢加量。
另一个有用的建议是记录。每完成一次就在日历上打一个勾，连续的勾本身就会成为坚持下去的动力。中断一天没关系，但尽量不要连续中断两天。
对照自己，晨跑之所以总是断，是因为前一天晚上睡得太晚。看来要先解决早睡的问题。', '读书笔记', '2008-12-08');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (4, '项目管理入门笔记', '项目和日常工作的区别在于：项目有明确的开始和结束，有具体的交付成果。
做项目的第一步是把目标说清楚，写成一句话，让所有参与的人都能复述出来。第二步是把工作拆成一个个可以分配、可以检查的小任务，每个任务都要有负责人和完成日期。
进度出现偏差时，越早暴露越好。每周一次的简短例会，只讲三件事：上周完成了什么，这周要做什么，遇到了什么困难。
书里反复强调，项目经理最重要的工作不是自己干活，而是沟通和协调。这一点对准备竞聘主管的我很有启发。', '读书笔记', '2008-12-28');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (5, '写好工作周报的五个要点', '第一，先写结论。领导最关心的是进展是否正常、有没有风险，把这两点放在最前面。
第二，用数字说话。完成了百分之多少、比计划提前还是落后几天，比“进展顺利”四个字有用得多。
第三，问题要附带建议。只提困难不提办法，周报就变成了诉苦。
第四，下周计划要具体到事情和日期，方便下周对照检查。
第五，篇幅控制在一页以内。写不下，说明还没想清楚重点。', '工作方法', '2008-11-12');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (6, '开短会的几条约定', '部门最近试行了几条开会的约定，效果不错，记下来备忘。
会前必须发议程，没有议程的会可以不参加。每个议题都写明需要大家做什么：是知情、讨论还是决定。
会议时间默认三十分钟，到点就结束，没讨论完的议题另约时间。
会后当天发出会议纪要，只记结论、负责人和完成日期，不记过程。
这几条执行下来，每周花在会议室的时间少了将近一半。', '工作方法', '2009-01-08');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (7, '冬季晨跑注意事项', '冬天早上气温低，起床后先喝一杯温水，在室内做五到十分钟的热身，让关节和肌肉活动开。
衣服采用分层穿法：里面是排汗的运动内衣，外面是防风的外套，跑热了可以脱掉外层。帽子和手套不能少，身体的热量很多是从头和手散失的。
雾霾或者大风天气不要勉强，可以改成在家里跳绳或者做力量练习。
跑完不要马上停下，慢走几分钟，回家后及时换掉汗湿的衣服，避免着凉。', '健康生活', '2008-12-03');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (8, '改善睡眠的几个小办法', '固定起床时间比固定睡觉时间更重要。即使周末，也尽量在同一时间起床。
睡前一小时调暗灯光，不看手机和电脑屏幕。可以看几页纸质书，或者听一段舒缓的音乐。
下午三点以后不喝浓茶和咖啡。晚饭不要吃得太饱，也不要太晚。
卧室保持安静、凉爽、黑暗。窗外路灯太亮的话，换一副遮光窗帘会有明显效果。', '健康生活', '2009-01-02');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (9, '家庭记账的分类怎么定', '记账最容易半途而废的原因是分类太细，每记一笔都要想半天归到哪一类。
收入分成工资、奖金、利息、兼职收入和其他收入就够了。支出按日常生活的大块来分：餐饮、交通、房租水电、通讯、书籍学习、服饰、人情礼金、日用品、医疗保健。
现金、工资卡、存折分别建账户，取现和存钱记成转帐，这样每个账户的余额都能和实际对上。
每月月底花半个小时做一次汇总，看看哪一类超支了，下个月重点控制。', '理财知识', '2008-12-02');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (10, '应急资金该留多少', '应急资金是为失业、生病、家里突发情况准备的钱，要放在随时能取出来的地方，不追求高收益。
一般建议留出三到六个月的生活开支。单身、工作稳定的人可以少一些，有家庭负担或者行业波动大的人要多一些。
计算的时候只算必要开支：房租、吃饭、交通、通讯、给父母的生活费，不要把旅游和购物算进去。
攒应急资金最好的办法是发工资当天先存再花，把固定金额直接转到一个平时不用的账户里。', '理财知识', '2009-01-12');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (11, '2009-1-29日志', '正月初四，天晴。
上午带爸妈去舅舅家拜年，表哥一家也在，一屋子人很热闹。舅舅身体还硬朗，就是血压有点高，嘱咐他按时吃药。
下午回来整理了去年各区域的销售数据，比预想的顺利，表格基本齐了。
原本打算去办健身房的年卡，打电话才知道节后要装修两个月，索性不办了，继续在小区外面跑步。', '日志', '2009-01-29');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (12, '2009-1-30日志', '正月初五，多云。
早上陪爸妈去逛庙会，去得早人还不算多。妈妈买了两个剪纸窗花，爸爸看了半天舞狮。
下午把去年参与的项目都列了一遍，写着写着才发现这一年其实做了不少事，只是以前从来没有整理过。
口译考试的报名还没弄，照片也没准备，明天一定要抽时间办掉，二月二日就截止了，不能再拖。', '日志', '2009-01-30');
INSERT INTO fangfa (id, title, content, ltype, addtime) VALUES (13, '2009-1-31日志', '正月初六，晴，假期最后一天。
早上按时起床跑了三公里，过年这几天吃得太多，跑得有点吃力。
今天的安排比较满：上午复核方案初稿，中午送爸妈去火车站，下午汇总一月份的账目，还要给经理发邮件约面谈。
这个春节过得充实，陪了爸妈，也没有把工作和学习完全放下。明天上班，争取一开年就进入状态。', '日志', '2009-01-31');

-- 关系类别
INSERT INTO gxlb (id, gxlb) VALUES (1, '同事');
INSERT INTO gxlb (id, gxlb) VALUES (2, '客户');
INSERT INTO gxlb (id, gxlb) VALUES (3, '朋友');
INSERT INTO gxlb (id, gxlb) VALUES (4, '家人');
INSERT INTO gxlb (id, gxlb) VALUES (5, '同学');

-- 联系人：sex 0 男 1 女
INSERT INTO renji (id, name, title, leibie, sex, tel, mob, "add", zip, email, msn) VALUES (1, '周海涛', '部门经理', 1, 0, '010-62835471', '13801126548', '北京市海淀区青松路26号院3号楼', '100086', 'zhouht@example.com', 'haitao.zhou@example.com');
INSERT INTO renji (id, name, title, leibie, sex, tel, mob, "add", zip, email, msn) VALUES (2, '林晓雯', '项目组同事', 1, 1, '010-62835490', '13911452307', '北京市海淀区槐荫南街8号', '100089', 'linxw@example.com', 'xiaowen.lin@example.com');
INSERT INTO renji (id, name, title, leibie, sex, tel, mob, "add", zip, email, msn) VALUES (3, '郑国强', '客户公司采购主管', 2, 0, '021-58364127', '13701835692', '上海市浦东新区云杉路115号12层', '200120', 'zhenggq@example.com', '');
INSERT INTO renji (id, name, title, leibie, sex, tel, mob, "add", zip, email, msn) VALUES (4, '孙丽娟', '客户公司财务负责人', 2, 1, '021-58364150', '13816627403', '上海市浦东新区云杉路115号12层', '200120', 'sunlj@example.com', 'lijuan.sun@example.com');
INSERT INTO renji (id, name, title, leibie, sex, tel, mob, "add", zip, email, msn) VALUES (5, '何俊峰', '大学室友', 5, 0, '020-87561239', '13922046815', '广州市天河区榕荫大道72号', '510630', 'hejf@example.com', 'junfeng.he@example.com');
INSERT INTO renji (id, name, title, leibie, sex, tel, mob, "add", zip, email, msn) VALUES (6, '吴佳琪', '高中同学', 5, 1, '', '13683275104', '北京市朝阳区晨光北里5号楼2单元', '100025', 'wujq@example.com', '');
INSERT INTO renji (id, name, title, leibie, sex, tel, mob, "add", zip, email, msn) VALUES (7, '陈卫东', '舅舅', 4, 0, '010-69521876', '13501038247', '北京市丰台区石榴园西街14号', '100071', '', '');
INSERT INTO renji (id, name, title, leibie, sex, tel, mob, "add", zip, email, msn) VALUES (8, '刘思远', '羽毛球球友', 3, 0, '', '15810372946', '北京市海淀区银杏路9号院', '100091', 'liusy@example.com', 'siyuan.liu@example.com');
INSERT INTO renji (id, name, title, leibie, sex, tel, mob, "add", zip, email, msn) VALUES (9, '高雅婷', '英语角认识的朋友', 3, 1, '', '13661159283', '北京市西城区柳荫胡同21号', '100035', 'gaoyt@example.com', 'yating.gao@example.com');

-- 联系人记录：补充资料、联系记录、行动计划
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (1, 1, '周经理的工作习惯', '周经理习惯上午处理邮件，重要的事情最好上午十点前发邮件，下午再当面确认。', '补充资料', '2008-12-05');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (2, 1, '年度方案进度汇报', '在办公室当面汇报了方案的框架，周经理要求补充各区域的竞品情况，春节后第一周交初稿。', '联系记录', '2009-01-16');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (3, 1, '约谈职业规划', '节后第二周找周经理谈今年的职业发展，事先准备好项目成果清单。', '行动计划', '2009-01-31');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (4, 2, '一起核对区域数据', '和晓雯分工，她负责南方三个区域，我负责北方和西部，二月二日前交换核对。', '联系记录', '2009-01-20');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (5, 3, '郑主管的采购周期', '对方每年三月确定全年的采购计划，二月底之前一定要把新报价送过去。', '补充资料', '2008-12-12');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (6, 3, '春节前电话拜年', '打电话给郑主管拜年，顺便问了明年的需求，他说可能会增加两条产品线。', '联系记录', '2009-01-22');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (7, 3, '节后上门拜访', '二月第二周去上海拜访郑主管，带上新的报价单和产品资料。', '行动计划', '2009-02-10');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (8, 4, '对账事宜', '孙会计来电说去年第四季度有一张发票金额不符，已经转给财务部处理。', '联系记录', '2008-12-18');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (9, 5, '俊峰换了工作', '俊峰十二月跳槽到一家做物流软件的公司，负责华南区的销售，以后可能有合作机会。', '补充资料', '2008-12-20');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (10, 5, '新年问候', '元旦打电话互相问候，约好他三月来北京出差时一起吃饭。', '联系记录', '2009-01-01');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (11, 6, '同学聚会', '佳琪组织高中同学聚会，定在二月七日晚上，需要提前回复是否参加。', '行动计划', '2009-02-01');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (12, 7, '舅舅的身体', '舅舅血压偏高，一直在吃药，平时喜欢下象棋和喝绿茶。', '补充资料', '2009-01-29');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (13, 7, '初四拜年', '带爸妈去舅舅家拜年，在舅舅家吃了午饭，舅舅让我有空多去坐坐。', '联系记录', '2009-01-29');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (14, 8, '周末打球', '思远约每周六下午在体育馆打两个小时羽毛球，场地费两人平摊。', '行动计划', '2009-02-07');
INSERT INTO rjxx (id, renji, title, content, type1, addtime) VALUES (15, 9, '口译考试经验', '雅婷去年考过了中级口译，答应把她的复习笔记和真题借给我。', '补充资料', '2009-01-10');

-- 账户类型与账户
INSERT INTO zhanghaotype (id, typename) VALUES (1, '现金');
INSERT INTO zhanghaotype (id, typename) VALUES (2, '储蓄卡');
INSERT INTO zhanghaotype (id, typename) VALUES (3, '信用卡');
INSERT INTO zhanghaotype (id, typename) VALUES (4, '存折');

-- 余额单位为万分之一元，等于该账户全部收支记录之和
INSERT INTO zhanghao (id, zhname, leixing, moneys, addtime, haoma, beizhu) VALUES (1, '现金钱包', '现金', 2267000, '2008-12-01', '', '随身带的零用钱');
INSERT INTO zhanghao (id, zhname, leixing, moneys, addtime, haoma, beizhu) VALUES (2, '工资卡', '储蓄卡', 66030700, '2008-12-01', '6222 0000 1234 5678', '每月五日发工资');
INSERT INTO zhanghao (id, zhname, leixing, moneys, addtime, haoma, beizhu) VALUES (3, '定期存折', '存折', 50000000, '2008-12-01', '0200 3300 5566 778', '一年定期，作为应急资金');

-- 收支类别：shouzhi 0 收入，1 支出
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (1, '工资', 0);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (2, '奖金', 0);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (3, '利息', 0);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (4, '兼职收入', 0);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (5, '其他收入', 0);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (6, '餐饮', 1);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (7, '交通', 1);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (8, '房租水电', 1);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (9, '通讯', 1);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (10, '书籍学习', 1);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (11, '服饰', 1);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (12, '人情礼金', 1);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (13, '日用品', 1);
INSERT INTO shouzhitype (id, typename, shouzhi) VALUES (14, '医疗保健', 1);

-- 收支记录：shouzhi 0 收入，1 支出，3 转帐（两条一组）
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (1, 0, '期初余额', '其他收入', '工资卡', 68500000, '2008-12-20', '开始记账时卡内的余额');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (2, 0, '期初余额', '其他收入', '现金钱包', 3265000, '2008-12-20', '开始记账时钱包里的现金');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (3, 0, '活期结息', '利息', '工资卡', 53700, '2008-12-21', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (4, 1, '午饭', '餐饮', '现金钱包', 125000, '2008-12-22', '公司楼下的快餐');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (5, 1, '公交车', '交通', '现金钱包', 8000, '2008-12-22', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (6, 1, '一月份房租', '房租水电', '工资卡', 15000000, '2008-12-25', '转给房东');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (7, 1, '手机话费充值', '通讯', '现金钱包', 1000000, '2008-12-26', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (8, 1, '项目管理方面的书两本', '书籍学习', '工资卡', 456000, '2008-12-27', '网上书店，打了七五折');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (9, 1, '同事聚餐', '餐饮', '现金钱包', 680000, '2008-12-31', '跨年聚餐，大家平摊');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (10, 1, '羽绒服', '服饰', '工资卡', 3990000, '2009-01-03', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (11, 0, '十二月份工资', '工资', '工资卡', 48600000, '2009-01-05', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (12, 1, '电费', '房租水电', '现金钱包', 864000, '2009-01-06', '十二月份用电');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (13, 1, '地铁', '交通', '现金钱包', 20000, '2009-01-06', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (14, 3, '转帐支出', '', '工资卡', -5000000, '2009-01-06', 'ATM取现');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (15, 3, '转帐收入', '', '现金钱包', 5000000, '2009-01-06', 'ATM取现');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (16, 1, '超市日用品', '日用品', '现金钱包', 573000, '2009-01-08', '洗衣液、牙膏、纸巾');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (17, 1, '午饭', '餐饮', '现金钱包', 150000, '2009-01-09', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (18, 0, '帮朋友翻译资料', '兼职收入', '现金钱包', 3000000, '2009-01-10', '一份产品说明书');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (19, 1, '宽带网费', '通讯', '工资卡', 1200000, '2009-01-10', '一季度');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (20, 1, '早餐', '餐饮', '现金钱包', 45000, '2009-01-12', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (21, 1, '感冒药', '医疗保健', '现金钱包', 238000, '2009-01-13', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (22, 0, '年终奖', '奖金', '工资卡', 60000000, '2009-01-16', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (23, 1, '大学同学婚礼礼金', '人情礼金', '工资卡', 5000000, '2009-01-17', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (24, 1, '父母返程火车票', '交通', '工资卡', 3660000, '2009-01-20', '两张卧铺，一月三十一日');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (25, 3, '转帐支出', '', '工资卡', -50000000, '2009-01-20', '存一年定期');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (26, 3, '转帐收入', '', '定期存折', 50000000, '2009-01-20', '存一年定期');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (27, 1, '年货', '日用品', '工资卡', 4237000, '2009-01-22', '干果、茶叶、点心');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (28, 1, '给父母的红包', '人情礼金', '工资卡', 20000000, '2009-01-25', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (29, 1, '年夜饭食材', '餐饮', '现金钱包', 2860000, '2009-01-25', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (30, 1, '压岁钱', '人情礼金', '现金钱包', 2000000, '2009-01-26', '给表哥家的孩子');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (31, 1, '拜年礼品', '人情礼金', '工资卡', 2580000, '2009-01-29', '给舅舅买的水果和保健品');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (32, 1, '庙会小吃', '餐饮', '现金钱包', 355000, '2009-01-30', '');
INSERT INTO shouzhi (id, shouzhi, yuanyin, leixing, zhanghao, moneys, addtime, beizhu) VALUES (33, 1, '杂志', '书籍学习', '现金钱包', 80000, '2009-01-31', '');
